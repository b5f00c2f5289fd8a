# Packages, made by CPack (cmake --workflow --preset package): a Debian
# package of the Linux programs, the adapters, the examples and the man
# pages, and a ZIP of the Windows programs with the example files and a
# README for Windows. The package preset builds the Linux programs here and
# the Windows programs in windows/ below, with the MinGW-w64 toolchain, and
# leaves both packages in this build's folder.
set(CPACK_PACKAGE_NAME kestrelfold)
set(CPACK_PACKAGE_VENDOR "Kestrelfold")
set(CPACK_PACKAGE_CONTACT "Kestrelfold developers <kestrelfold@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Numerical error of the 1D Poisson equation by central differences")
set(CPACK_PACKAGE_DESCRIPTION "Solves T''=S on [0,1] by second-order central differences and a \
tridiagonal solver for five source terms with known exact solutions, and writes a listing in \
Portuguese with the errors of three quantities of interest, plot data for gnuplot and a data \
file for extrapolation. kestrelfold-study runs mesh studies and reports how each error converges.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_THREADS 2)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME kestrelfold-${PROJECT_VERSION}-win64)
  # The files at the top of the ZIP's folder kestrelfold-<version>-win64.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  # The libraries the programs link (libc, libstdc++, libgcc), as the system
  # finds them; the plotting program for the adapters' plots; what the
  # mesh study uses for its job lists on a cluster.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnuplot-nox | gnuplot-qt | gnuplot-x11 | gnuplot")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "parallel, slurm-client")
endif()

include(CPack)
