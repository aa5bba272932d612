# The transfer engines are toolkit-free; their timers on the toolkit are not.
list(APPEND CORE_SOURCES
  ${MORLEN_ROOT}/transfer/Crc16.cpp
  ${MORLEN_ROOT}/transfer/Xmodem.cpp
  ${MORLEN_ROOT}/transfer/Punter.cpp
  ${MORLEN_ROOT}/transfer/TransferController.cpp
)
list(APPEND GUI_SOURCES
  ${MORLEN_ROOT}/transfer/Timer.cpp
  ${MORLEN_ROOT}/transfer/GooTimer.cpp
  ${MORLEN_ROOT}/transfer/TransferTimers.cpp
)
