# Install layout: the program and the mesh-study tool side by side in bin/
# (the tool runs the kestrelfold beside it), and under share/kestrelfold/ what a
# user keeps beside it: the adapters that stand in for the editor and the
# plotting program (desktop/ with windows, batch/ without), and the example
# input file and plot scripts to copy into a work folder.
include(GNUInstallDirs)

set(KESTRELFOLD_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/kestrelfold)

install(TARGETS kestrelfold kestrelfold-study RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

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

install(FILES ${CMAKE_SOURCE_DIR}/man/kestrelfold.1 ${CMAKE_SOURCE_DIR}/man/kestrelfold-study.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
