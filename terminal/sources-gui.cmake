list(APPEND GUI_SOURCES
  ${MORLEN_ROOT}/terminal/wxPetsciiScrolledCanvas.cpp
)
