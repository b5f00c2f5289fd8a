# The install layout, for the install rules and for the program, which tells
# a user where the installed examples are: the program and the mesh-study
# tool side by side in bin/, and under share/kestrelfold/ what a user keeps
# beside them (the adapters and the examples).
include(GNUInstallDirs)

set(KESTRELFOLD_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/kestrelfold)
set(KESTRELFOLD_EXAMPLES_DIR ${KESTRELFOLD_SHARE_DIR}/examples)

# The examples' folder as seen from the program's: relative, so that it holds
# under whatever prefix `cmake --install --prefix` is given. On Windows, the
# ZIP's layout (cmake/install_windows.cmake): the programs at its top, the
# examples in examples/ beside them.
if(WIN32)
  set(KESTRELFOLD_EXAMPLES_DIR examples)
  set(KESTRELFOLD_EXAMPLES_FROM_PROGRAM examples)
else()
  file(RELATIVE_PATH KESTRELFOLD_EXAMPLES_FROM_PROGRAM
    "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_PREFIX}/${KESTRELFOLD_EXAMPLES_DIR}")
endif()
