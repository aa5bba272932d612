# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND GUI_SOURCES
  ${MORLEN_ROOT}/app/MorlenApp.cpp
  ${MORLEN_ROOT}/app/CloseKeys.cpp
  ${MORLEN_ROOT}/app/CommandTable.cpp
  ${MORLEN_ROOT}/app/LineSpeedMenu.cpp
  ${MORLEN_ROOT}/app/MorlenFrame.cpp
  ${MORLEN_ROOT}/app/MorlenFrameHelp.cpp
  ${MORLEN_ROOT}/app/MorlenFrameConnection.cpp
  ${MORLEN_ROOT}/app/MorlenFrameTransfers.cpp
  ${MORLEN_ROOT}/app/MorlenFrameEdit.cpp
  ${MORLEN_ROOT}/app/EditMenu.cpp
  ${MORLEN_ROOT}/app/SessionAdapters.cpp
  ${MORLEN_ROOT}/app/wxMainStatusBar.cpp
  ${MORLEN_ROOT}/app/SessionBuffers.cpp
  ${MORLEN_ROOT}/app/FileChooser.cpp
  ${MORLEN_ROOT}/app/MessagePrompt.cpp
  ${MORLEN_ROOT}/app/SaveReport.cpp
  ${MORLEN_ROOT}/app/SettingsAutosave.cpp
)
