# Install layout of the Windows programs, which is also the ZIP's: the .exe
# files, the example input file and plot scripts beside them (a user works
# in that folder or copies them into one), and a short README.txt in
# Windows' own line ends, for Notepad.
install(TARGETS ${KESTRELFOLD_PROGRAMS} RUNTIME DESTINATION .)

install(FILES
  ${CMAKE_SOURCE_DIR}/examples/Kestrelfold.in
  ${CMAKE_SOURCE_DIR}/examples/Kestrelfold_T.gnu
  ${CMAKE_SOURCE_DIR}/examples/Kestrelfold_E.gnu
  DESTINATION ${KESTRELFOLD_EXAMPLES_DIR})

file(READ ${CMAKE_SOURCE_DIR}/tools/windows/README.txt KESTRELFOLD_WINDOWS_README)
string(REPLACE "\r\n" "\n" KESTRELFOLD_WINDOWS_README "${KESTRELFOLD_WINDOWS_README}")
string(REPLACE "\n" "\r\n" KESTRELFOLD_WINDOWS_README "${KESTRELFOLD_WINDOWS_README}")
file(WRITE ${CMAKE_BINARY_DIR}/README.txt "${KESTRELFOLD_WINDOWS_README}")
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
