# The Debian package: "cpack -G DEB" in the build folder writes
# tolvane_<version>_<architecture>.deb with the dependencies that
# dpkg-shlibdeps computes from the programs and the Linux stub.

set(TOLVANE_PACKAGE_CONTACT "Tolvane <tolvane@example.org>" CACHE STRING
    "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VENDOR Tolvane)
set(CPACK_PACKAGE_CONTACT "${TOLVANE_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TOLVANE_HOMEPAGE}")
# Qt draws the German buttons of the stub's questions from the translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation2")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "split files onto fixed-size volumes and restore them")
# The synopsis is the summary above; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tolvane cuts a set of files into volumes of one fixed size (floppy disks,
ZIP 100 cartridges or any size above 66560 bytes) and puts them back
together on another machine. It continues an interrupted extraction,
re-creates a lost volume from an intact one and the original files, shows
what any volume holds, and writes self-extracting archives. The program
tolvane is a German wizard; tolvane-cli does the same for scripts.

Tolvane teilt Dateien auf Datenträger fester Größe auf (Disketten, ZIP-100
oder jede Größe über 66560 Bytes) und setzt sie auf einem anderen Rechner
wieder zusammen. Es setzt ein unterbrochenes Entpacken fort, erstellt einen
verlorenen Datenträger aus einem erhaltenen und den Originaldateien neu,
zeigt, was ein Datenträger enthält, und schreibt selbstentpackende Archive.")

# /usr/share/doc/tolvane: the copyright and the changelog Debian asks for.
execute_process(COMMAND date -R -u -d "${TOLVANE_RELEASE_DATE} 12:00:00"
                OUTPUT_VARIABLE TOLVANE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
set(tolvane_doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/tolvane)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(tolvane_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${tolvane_doc_dir})

include(CPack)
