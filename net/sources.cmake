list(APPEND CORE_SOURCES ${MORLEN_ROOT}/net/ConnectAttempt.cpp)
list(APPEND GUI_SOURCES ${MORLEN_ROOT}/net/wxTcpClient.cpp ${MORLEN_ROOT}/net/MainWindowConnection.cpp)
