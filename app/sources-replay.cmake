# SPDX-License-Identifier: GPL-3.0-or-later
# The buffer viewer and replay windows; their pacing is toolkit-free.
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/app/ReplayPlayback.cpp)
list(APPEND GUI_SOURCES
  ${MORLEN_ROOT}/app/ReplayFrame.cpp
  ${MORLEN_ROOT}/app/ReplayTimer.cpp
)
