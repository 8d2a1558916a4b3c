# Packages made by cpack (scripts/package): a Debian package on Linux, a zip
# of the programs for a Windows build. Both hold what `install` puts in place:
# the programs, the tool, the desktop entry and icon, and the documentation.
include(GNUInstallDirs)

set(MVR_PACKAGE_NAME marvane-kavolo)
set(MVR_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${MVR_PACKAGE_NAME})
if(WIN32)
  set(MVR_DOC_DIR .)
endif()
install(FILES README.md DESTINATION ${MVR_DOC_DIR})
install(FILES cmake/packaging/copyright DESTINATION ${MVR_DOC_DIR})
if(NOT WIN32)
  # A Debian package keeps its changes as changelog.gz beside the copyright.
  set(MVR_CHANGELOG ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/packaging)
  file(ARCHIVE_CREATE OUTPUT ${MVR_CHANGELOG} PATHS ${PROJECT_SOURCE_DIR}/cmake/packaging/changelog FORMAT raw
       COMPRESSION GZip COMPRESSION_LEVEL 9)
  install(FILES ${MVR_CHANGELOG} DESTINATION ${MVR_DOC_DIR})
endif()

set(CPACK_PACKAGE_NAME ${MVR_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Marvane Kavolo")
set(CPACK_PACKAGE_CONTACT "Marvane Kavolo developers <developers@marvane-kavolo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "price-data downloader for the folders of chart programs")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${MVR_PACKAGE_NAME}-${PROJECT_VERSION}-windows-x86_64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The shared libraries the programs link (Qt among them) become the dependencies.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Logs in to a price server, downloads end-of-day and intraday histories\n\
for many instruments at once and keeps them in export directories in the\n\
formats of chart programs (MetaStock and ASCII layouts). Holds the desktop\n\
program mvrkrsexp, the batch tool mvrkrsexp-batch, the reference server\n\
mvr-priceserver and the folder lister mvr-dircat.")
endif()

include(CPack)
