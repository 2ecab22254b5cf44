# The Debian package: cpack -G DEB (tools/make-deb.sh). Library dependencies are found by
# dpkg-shlibdeps; the archive library is loaded at run time, so p7zip-full is named here.
set(CPACK_PACKAGE_NAME "ashtint")
set(CPACK_PACKAGE_VERSION "${ASHTINT_PROGRAM_VERSION}.${ASHTINT_PROGRAM_BUILD}")
set(CPACK_PACKAGE_CONTACT "Ashtint developers <ashtint@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Visual mods for World of Tanks built from the game's own packages")
set(CPACK_PACKAGE_DESCRIPTION "Builds plain-coloured destroyed tanks and tracks, plain-coloured models and trains on maps, patched map space.bin files and translucent camouflages, each packed into a mod package in the game client's mods folder. A console engine (AshtintCreator2) and a Qt front end (AshtintGui).")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs speak Russian through Debian's Qt translations, loaded at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "p7zip-full, qt6-translations-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_GENERATOR "DEB")
# The project's licence and the third-party notices, where Debian keeps a package's documents
# (the Windows release puts them beside the programs: tools/make-windows-release.sh).
if(NOT WIN32)
  include(GNUInstallDirs)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ashtint RENAME copyright)
  install(FILES ${PROJECT_SOURCE_DIR}/THIRD-PARTY.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ashtint
    RENAME THIRD-PARTY.txt)
endif()
include(CPack)
