# SPDX-License-Identifier: GPL-3.0-or-later
# The morlen-host tool; its target is made in the top CMakeLists.txt, after the core library.
list(APPEND MORLEN_HOST_SOURCES
  ${MORLEN_ROOT}/host/morlen_host.cpp
  ${MORLEN_ROOT}/host/morlen_host_options.cpp
  ${MORLEN_ROOT}/host/morlen_host_signals.cpp
  ${MORLEN_ROOT}/host/morlen_host_listener.cpp
  ${MORLEN_ROOT}/host/morlen_host_recorder.cpp
  ${MORLEN_ROOT}/host/morlen_host_session.cpp
  ${MORLEN_ROOT}/host/morlen_host_exec.cpp
  ${MORLEN_ROOT}/host/morlen_host_punter.cpp
  ${MORLEN_ROOT}/host/morlen_host_petscii_writer.cpp
  ${MORLEN_ROOT}/host/morlen_host_drawing.cpp
  ${MORLEN_ROOT}/host/morlen_host_demo_pages.cpp
  ${MORLEN_ROOT}/host/morlen_host_demo.cpp
  ${MORLEN_ROOT}/host/morlen_host_config.cpp
  ${MORLEN_ROOT}/host/morlen_host_telnet.cpp
)
