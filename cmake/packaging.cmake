# The Debian package of the Linux programs, made by CPack from an existing
# build (scripts/package.sh): quarnix and quarnix-dump, the desktop entry,
# the MIME type of *.rxdata, the icons (installed by app/), the manual
# pages, and the documents Debian asks every package for.  Its
# dependencies come from dpkg-shlibdeps: the Qt 6 libraries, zlib, the C++
# runtime, with the versions the build was linked against.
include(GNUInstallDirs)
set(packaging_dir ${PROJECT_BINARY_DIR}/packaging)

# Manual pages and the changelog, compressed as Debian wants them: gzip
# -9n (no name or time inside, so the same input makes the same bytes).
set(packaging_outputs)
foreach(source quarnix.1 quarnix-dump.1 changelog)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/${source} ${packaging_dir}/${source} @ONLY)
  add_custom_command(OUTPUT ${packaging_dir}/${source}.gz
    COMMAND gzip -9nf -k ${packaging_dir}/${source}
    DEPENDS ${packaging_dir}/${source} VERBATIM)
  list(APPEND packaging_outputs ${packaging_dir}/${source}.gz)
endforeach()
add_custom_target(packaging_documents ALL DEPENDS ${packaging_outputs})

# The copyright file in Debian's machine-readable form, over LICENSE.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(REGEX REPLACE "\n$" "" license_text "${license_text}")
string(REGEX REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REGEX REPLACE "\n" "\n " license_text "${license_text}")
file(WRITE ${packaging_dir}/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: Quarnix\n"
  "Comment: The programs link the system's shared libraries only; see\n"
  " THIRD-PARTY-NOTICES.txt for what the Windows programs carry inside them.\n"
  "\n"
  "Files: *\n"
  "Copyright: 2026 The Quarnix authors\n"
  "License: Expat\n"
  " ${license_text}\n")

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/quarnix)
install(FILES ${packaging_dir}/quarnix-dump.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET quarnix)
  install(FILES ${packaging_dir}/quarnix.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${packaging_dir}/copyright ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.txt DESTINATION ${doc_dir})
install(FILES ${packaging_dir}/changelog.gz DESTINATION ${doc_dir})

# scripts/package.sh builds what is installed; the packaging need not build
# the tests too.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarnix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quarnix authors")
set(CPACK_PACKAGE_CONTACT "Quarnix authors <maintainers@quarnix.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read-only viewer of RPG Maker XP data files")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # quarnix_VERSION_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its platform plugins (X11, Wayland) in this package at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Chinese texts need a font with CJK glyphs; Qt's own dialogs in Chinese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "git, qt6-translations-l10n")
# The long description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Quarnix shows what an RPG Maker XP data file (*.rxdata, a Ruby Marshal 4.8
dump) holds: every value in a tree and a list, object links followed on a
double-click, scripts with their Ruby source, tables as grids, event pages as
the editor's command lines, and the uses of a switch or an item across the
game's Data folder.  It never writes anything.

quarnix-dump prints the same document as text or JSON, for terminals,
scripts and readable git diffs of game data.")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
