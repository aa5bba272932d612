# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND CORE_SOURCES
  ${MORLEN_ROOT}/keyboard/PetsciiKeyTable.cpp
  ${MORLEN_ROOT}/keyboard/KeymapRules.cpp
  ${MORLEN_ROOT}/keyboard/PositionalKeymap.cpp
  ${MORLEN_ROOT}/keyboard/HybridKeymap.cpp
  ${MORLEN_ROOT}/keyboard/KeyPressAction.cpp
  ${MORLEN_ROOT}/keyboard/PasteText.cpp
)
list(APPEND GUI_SOURCES
  ${MORLEN_ROOT}/keyboard/wxKeymapC64.cpp
  ${MORLEN_ROOT}/keyboard/wxKeymapC64Positional.cpp
  ${MORLEN_ROOT}/keyboard/wxKeymapC64Hybrid.cpp
  ${MORLEN_ROOT}/keyboard/wxKeymapFactory.cpp
)
