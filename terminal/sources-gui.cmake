# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND GUI_SOURCES
  ${MORLEN_ROOT}/terminal/wxPetsciiScrolledCanvas.cpp
  ${MORLEN_ROOT}/terminal/wxClipboardHandOver.cpp
)
