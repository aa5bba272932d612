# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/app/ProgramValues.cpp)
morlen_embed(CORE_SOURCES resources/welcome_screen.seq welcomeScreenSeq)
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/app/StatusBarLayout.cpp)
