# Run by `cmake --install` (included from the install script that
# cmake/install.cmake sets up): writes every man page of man/, NAME.SECTION,
# into the folder of its section, with the folders of the prefix being
# installed to, so that a page names paths that exist and its examples can
# be copied as they stand. A page names them through roff strings defined
# once at its top, which hold the default prefix's folders in the source
# tree (so that `man -l man/NAME.1` reads whole) and which this script
# rewrites:
#   .ds kf-bin-dir    the program's folder, <prefix>/bin
#   .ds kf-share-dir  the adapters' and examples' folder,
#                     <prefix>/share/kestrelfold
# The prefix is the one given to `cmake --install --prefix`, else the
# configured one; DESTDIR, a staging root, is no part of the paths written.
#
# Set by the includer: KESTRELFOLD_MAN_SOURCE (the folder man/),
# KESTRELFOLD_MAN_STAGING (a folder of the build for the written pages), and
# the install folders KESTRELFOLD_INSTALL_BINDIR, KESTRELFOLD_INSTALL_MANDIR and
# KESTRELFOLD_INSTALL_SHAREDIR, relative to the prefix or absolute.

# kestrelfold_prefixed(DIR OUT): DIR under the prefix, unless it is absolute.
function(kestrelfold_prefixed dir out)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

# kestrelfold_roff_text(TEXT OUT): TEXT as roff prints it literally: a
# backslash is roff's escape, and a plain - may be printed as a hyphen, which
# a path copied from the page must not hold.
function(kestrelfold_roff_text text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

kestrelfold_prefixed("${KESTRELFOLD_INSTALL_BINDIR}" bin_dir)
kestrelfold_prefixed("${KESTRELFOLD_INSTALL_SHAREDIR}" share_dir)
kestrelfold_prefixed("${KESTRELFOLD_INSTALL_MANDIR}" man_dir)
kestrelfold_roff_text("${bin_dir}" bin_dir)
kestrelfold_roff_text("${share_dir}" share_dir)

# kestrelfold_define_string(TEXT NAME VALUE OUT): TEXT with the roff string
# NAME defined as VALUE, where the page defines it.
function(kestrelfold_define_string text name value out)
  string(REGEX MATCH "\n\\.ds ${name} [^\n]*" definition "${text}")
  if(definition)
    string(REPLACE "${definition}" "\n.ds ${name} ${value}" text "${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

file(GLOB pages "${KESTRELFOLD_MAN_SOURCE}/*.[1-9]")
foreach(page ${pages})
  get_filename_component(name "${page}" NAME)
  string(REGEX MATCH "[1-9]$" section "${name}")
  file(READ "${page}" text)
  kestrelfold_define_string("${text}" kf-bin-dir "${bin_dir}" text)
  kestrelfold_define_string("${text}" kf-share-dir "${share_dir}" text)
  file(WRITE "${KESTRELFOLD_MAN_STAGING}/${name}" "${text}")
  file(INSTALL DESTINATION "${man_dir}/man${section}" TYPE FILE
    FILES "${KESTRELFOLD_MAN_STAGING}/${name}")
endforeach()
