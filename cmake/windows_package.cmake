# In the package build (Linux): the Windows programs, cross-built in
# windows/ below with the MinGW-w64 toolchain, and their ZIP beside the
# Debian package.
include(ExternalProject)
ExternalProject_Add(kestrelfold_windows
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/windows
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/windows-toolchain.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DKESTRELFOLD_TESTS=OFF
  BUILD_ALWAYS ON
  INSTALL_COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/windows/CPackConfig.cmake
                  -D CPACK_OUTPUT_FILE_PREFIX=${CMAKE_BINARY_DIR}
  USES_TERMINAL_BUILD ON)
