# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/net/ConnectAttempt.cpp ${MORLEN_ROOT}/net/KeyRoute.cpp
  ${MORLEN_ROOT}/net/LinePacer.cpp ${MORLEN_ROOT}/net/TerminalSession.cpp ${MORLEN_ROOT}/net/SessionRecord.cpp
  ${MORLEN_ROOT}/net/TelnetLayer.cpp ${MORLEN_ROOT}/net/PasteFeeder.cpp)
list(APPEND GUI_SOURCES ${MORLEN_ROOT}/net/wxTcpClient.cpp)
