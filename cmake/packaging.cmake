# make package: a Debian package of both programs with the menu entry, the icons and the AppStream
# metadata. The libraries stay Debian's: dpkg-shlibdeps works out the package's dependencies from
# what the programs link, so nothing is bundled.
include(GNUInstallDirs)
set(LexmoraPackagingDir ${CMAKE_BINARY_DIR}/packaging)
set(LexmoraMetainfoId example.lexmora.ComparisonTool)
configure_file(${PROJECT_SOURCE_DIR}/packaging/lexmora-ct.metainfo.xml
               ${LexmoraPackagingDir}/${LexmoraMetainfoId}.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${LexmoraPackagingDir}/changelog @ONLY)
# Debian wants the changelog compressed reproducibly (no name, no time in the gzip header).
add_custom_command(OUTPUT ${LexmoraPackagingDir}/changelog.gz
                   COMMAND gzip -9nkf ${LexmoraPackagingDir}/changelog
                   DEPENDS ${LexmoraPackagingDir}/changelog VERBATIM)
add_custom_target(lexmora_changelog ALL DEPENDS ${LexmoraPackagingDir}/changelog.gz)
install(FILES ${LexmoraPackagingDir}/${LexmoraMetainfoId}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${LexmoraPackagingDir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lexmora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lexmora)
set(CPACK_PACKAGE_VENDOR Lexmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Lexmora <support@lexmora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compare translations before and after editing")
# Debian wants the lines of the long description under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Takes bilingual files or packages (SDLXLIFF, memoQ, Memsource, XLIFF) as\n"
    "they were before editing and the same files after editing, pairs the\n"
    "segments, marks every deletion and insertion character by character, and\n"
    "writes an HTML or XLSX report per language pair with edit distances and a\n"
    "post-editing analysis. A desktop program and a command-line tool.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://lexmora.example)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins at run time, so no library dependency names them; without them the
# window cannot open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME Lexmora-${PROJECT_VERSION}-amd64.deb)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR OFF)
include(CPack)
