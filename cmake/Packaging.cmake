# Mireldo as a Debian package: the documentation a package carries, and the
# CPack settings for `cpack -G DEB` (see `make package`). The .deb holds
# exactly what the install rules install, under /usr.

set(MIRELDO_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/mireldo)
set(MIRELDO_PACKAGING ${CMAKE_CURRENT_BINARY_DIR}/packaging)

# Debian keeps changelogs and manual pages compressed, without a name or time
# stamp in the gzip header, so that the same source gives the same package.
function(mireldo_gzip source output)
  get_filename_component(name ${output} NAME_WLE)
  add_custom_command(OUTPUT ${MIRELDO_PACKAGING}/${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${MIRELDO_PACKAGING}/${name}
    COMMAND gzip -9nf ${MIRELDO_PACKAGING}/${name}
    DEPENDS ${source}
    VERBATIM)
endfunction()

# One manual page for the program and its launcher.
configure_file(${MIRELDO_ROOT}/packaging/mireldo.1.in ${MIRELDO_PACKAGING}/mireldo.1.in @ONLY)
mireldo_gzip(${MIRELDO_PACKAGING}/mireldo.1.in mireldo.1.gz)
file(CREATE_LINK mireldo.1.gz ${MIRELDO_PACKAGING}/mireldo-launcher.1.gz SYMBOLIC)
mireldo_gzip(${MIRELDO_ROOT}/packaging/changelog changelog.gz)
add_custom_target(mireldo_packaging_files ALL
  DEPENDS ${MIRELDO_PACKAGING}/mireldo.1.gz ${MIRELDO_PACKAGING}/changelog.gz)

install(FILES ${MIRELDO_PACKAGING}/mireldo.1.gz ${MIRELDO_PACKAGING}/mireldo-launcher.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${MIRELDO_ROOT}/README.md ${MIRELDO_ROOT}/packaging/copyright
              ${MIRELDO_PACKAGING}/changelog.gz
  DESTINATION ${MIRELDO_DOCDIR})

if(BUILD_TESTING)
  # Unpacks the .deb that `make package` left in MIRELDO_PACKAGE_DIR and runs
  # the program from it; skipped while there is none of this version.
  set(MIRELDO_PACKAGE_DIR ${MIRELDO_ROOT}/build-package CACHE PATH
    "Folder where the test of the Debian package looks for the .deb")
  add_test(NAME app_test_package
    COMMAND sh ${MIRELDO_ROOT}/tests/app/test_package.sh
            ${MIRELDO_PACKAGE_DIR} ${PROJECT_VERSION})
  set_tests_properties(app_test_package PROPERTIES SKIP_RETURN_CODE 77)
endif()

# A parent project that takes Mireldo in with add_subdirectory() packages
# itself: only the top-level build defines the package.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mireldo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Mireldo developers")
set(CPACK_PACKAGE_CONTACT "Mireldo developers <mireldo@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "rhythmic flash memoriser for quiz question sets")
# Lines of the long description; CPack indents each for the control file.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Mireldo shows each question of a quiz set while its answer is flashed"
  "beside it or over it at a fixed rhythm of about 25 ms ticks: rhythms named"
  "after brain-wave bands, subliminal rhythms, and slower checking and"
  "memorising modes."
  "."
  "It reads question sets in the .5tq and .mon quiz formats and comma- or"
  "tab-separated files, measures the real tick and shows the answer time,"
  "question period and frequency, and can shrink to a compact always-on-top"
  "strip beside other work. All of its text is Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/mireldo/mireldo)
# The libraries come from the binary (dpkg-shlibdeps); the Japanese Gothic
# fonts and the toolkit's own Japanese translations are read at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
