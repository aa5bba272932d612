# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND CORE_SOURCES ${MORLEN_ROOT}/terminal/GlyphSet.cpp)
morlen_embed(CORE_SOURCES resources/glyphs/upper.txt glyphsUpperText)
morlen_embed(CORE_SOURCES resources/glyphs/lower.txt glyphsLowerText)
