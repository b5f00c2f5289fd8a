# Install layout: the program, its binary128 twin kestrelfold-quad and the
# mesh-study tool side by side in bin/
# (the tool runs the kestrelfold beside it), and under share/kestrelfold/ what a
# user keeps beside it: the adapters that stand in for the editor and the
# plotting program (desktop/ with windows, batch/ without), and the example
# input file and plot scripts to copy into a work folder.
include(GNUInstallDirs)

set(KESTRELFOLD_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/kestrelfold)

install(TARGETS kestrelfold kestrelfold-quad kestrelfold-study RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(PROGRAMS
  ${CMAKE_SOURCE_DIR}/tools/desktop/notepad
  ${CMAKE_SOURCE_DIR}/tools/desktop/wgnuplot
  DESTINATION ${KESTRELFOLD_SHARE_DIR}/desktop)

install(PROGRAMS
  ${CMAKE_SOURCE_DIR}/tools/batch/notepad
  ${CMAKE_SOURCE_DIR}/tools/batch/wgnuplot
  DESTINATION ${KESTRELFOLD_SHARE_DIR}/batch)

install(FILES
  ${CMAKE_SOURCE_DIR}/examples/Kestrelfold.in
  ${CMAKE_SOURCE_DIR}/examples/Kestrelfold_T.gnu
  ${CMAKE_SOURCE_DIR}/examples/Kestrelfold_E.gnu
  DESTINATION ${KESTRELFOLD_SHARE_DIR}/examples)

# The man pages, every page of man/, name the folders of the prefix they are
# installed under: they are written at install time, when that prefix is
# known (cmake/install_man_pages.cmake).
install(CODE "
  set(KESTRELFOLD_MAN_SOURCE \"${CMAKE_SOURCE_DIR}/man\")
  set(KESTRELFOLD_MAN_STAGING \"${CMAKE_BINARY_DIR}/man\")
  set(KESTRELFOLD_INSTALL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(KESTRELFOLD_INSTALL_MANDIR \"${CMAKE_INSTALL_MANDIR}\")
  set(KESTRELFOLD_INSTALL_SHAREDIR \"${KESTRELFOLD_SHARE_DIR}\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/install_man_pages.cmake\")
")
