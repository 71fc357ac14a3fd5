# CPack: `cmake --build build --target package` makes quenpm_<version>_amd64.deb;
# `--target package_source` makes the release archive quenpm-<version>.tar.gz.
set(CPACK_PACKAGE_NAME quenpm)
set(CPACK_PACKAGE_VENDOR "Quenpm maintainers")
set(CPACK_PACKAGE_CONTACT "Quenpm maintainers <maintainers@users.noreply.c-seed-18d630c0.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "irrigation water requirement planning")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Quenpm computes the irrigation water requirements of the crops of a job by\n"
  "Blaney-Criddle (TR-21) or FAO-56 Penman-Monteith with NEH Part 623 basal\n"
  "curves or FAO-56 Table 12 curves, with reports and charts. QuenpmCrop and\n"
  "QuenpmClim2 edit the crop and climate databases, and quenpm-calc\n"
  "computes saved jobs from the command line.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

# (a .deb installs under /usr, the DEB generator's own prefix)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries the programs link come from dpkg-shlibdeps; the SQLite driver is a
# Qt plugin the programs load, so no linker line names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-urw-base35, fonts-dejavu-core")

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME quenpm-${PROJECT_VERSION})
set(CPACK_SOURCE_IGNORE_FILES
  "/\\\\.git/" "/\\\\.git$" "^${PROJECT_SOURCE_DIR}/build" "^${PROJECT_BINARY_DIR}/"
  "^${PROJECT_SOURCE_DIR}/_build" "/__pycache__/" "~$" "\\\\.user$" "/FAO56\\\\.txt$")
include(CPack)
