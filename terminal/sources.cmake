# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND CORE_SOURCES
  ${MORLEN_ROOT}/terminal/Palette.cpp
)
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/terminal/PetsciiScreen.cpp)
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/terminal/PetsciiTerminal.cpp)
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/terminal/RowStore.cpp)
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/terminal/ScreenDump.cpp)
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/terminal/ScreenCompositor.cpp)
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/terminal/PngEncoder.cpp)
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/terminal/CharacterChart.cpp)
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/terminal/ScreenCopy.cpp)
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/terminal/ClipboardText.cpp)
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/terminal/ScreenView.cpp)
