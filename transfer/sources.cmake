# The transfer engines are toolkit-free.
list(APPEND CORE_SOURCES
  ${MORLEN_ROOT}/transfer/Crc16.cpp
  ${MORLEN_ROOT}/transfer/Xmodem.cpp
  ${MORLEN_ROOT}/transfer/Punter.cpp
)
