# SPDX-License-Identifier: GPL-3.0-or-later
# The transfer engines are toolkit-free; their one timer on the toolkit is not.
list(APPEND CORE_SOURCES
  ${MORLEN_ROOT}/transfer/Crc16.cpp
  ${MORLEN_ROOT}/transfer/Deadlines.cpp
  ${MORLEN_ROOT}/transfer/Xmodem.cpp
  ${MORLEN_ROOT}/transfer/Punter.cpp
  ${MORLEN_ROOT}/transfer/PunterSend.cpp
  ${MORLEN_ROOT}/transfer/BatchFiles.cpp
  ${MORLEN_ROOT}/transfer/MultiPunterReceive.cpp
  ${MORLEN_ROOT}/transfer/YmodemHeader.cpp
  ${MORLEN_ROOT}/transfer/YmodemReceive.cpp
  ${MORLEN_ROOT}/transfer/YmodemSend.cpp
  ${MORLEN_ROOT}/transfer/TransferProtocols.cpp
  ${MORLEN_ROOT}/transfer/DownloadFolder.cpp
  ${MORLEN_ROOT}/transfer/TransferController.cpp
)
list(APPEND GUI_SOURCES
  ${MORLEN_ROOT}/transfer/wxTransferTimer.cpp
)
