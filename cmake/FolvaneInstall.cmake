# Installation under a prefix (cmake --install build --prefix /usr/local) and the Debian package
# (cpack -G DEB). The programs go to bin/ and their templates to share/folvane/basehtml, where
# an installed program looks for them; the desktop entry, the icon, the AppStream metainfo and
# the manual pages go where the desktop and man look for them. The layout is fixed (no
# GNUInstallDirs), because the programs find their data relative to their own folder.
if(WIN32)
  # The Windows programs keep everything beside the executable: a zip per architecture
  # (cpack -G ZIP) with the programs, their templates and the README at its top.
  install(TARGETS folvane-cli RUNTIME DESTINATION .)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/basehtml/ DESTINATION basehtml)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(FOLVANE_WINDOWS_ARCH x86_64)
  else()
    set(FOLVANE_WINDOWS_ARCH i686)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Folvane)
  set(CPACK_PACKAGE_VENDOR "Folvane developers")
  set(CPACK_PACKAGE_FILE_NAME Folvane-${PROJECT_VERSION}-windows-${FOLVANE_WINDOWS_ARCH})
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()

set(FOLVANE_DATA_DIR share/folvane)
set(FOLVANE_LINUX_DIR ${CMAKE_SOURCE_DIR}/resources/linux)

install(TARGETS folvane-cli RUNTIME DESTINATION bin)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/basehtml/ DESTINATION ${FOLVANE_DATA_DIR}/basehtml)

# Manual pages (English and Japanese) and the change log are installed compressed, as Debian's
# policy asks: folvane_install_packed(<file under resources/> <destination>).
set(folvane_packed_files)
function(folvane_install_packed file destination)
  set(copy ${CMAKE_BINARY_DIR}/resources/${file})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/${file} ${copy}
    COMMAND gzip -9 -n -f ${copy}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/${file} VERBATIM)
  install(FILES ${copy}.gz DESTINATION ${destination})
  set(folvane_packed_files ${folvane_packed_files} ${copy}.gz PARENT_SCOPE)
endfunction()
folvane_install_packed(man/folvane-cli.1 share/man/man1)
folvane_install_packed(man/ja/folvane-cli.1 share/man/ja/man1)
if(FOLVANE_BUILD_QT)
  folvane_install_packed(man/folvane.1 share/man/man1)
  folvane_install_packed(man/ja/folvane.1 share/man/ja/man1)
endif()
folvane_install_packed(linux/changelog share/doc/folvane)
install(FILES ${FOLVANE_LINUX_DIR}/copyright DESTINATION share/doc/folvane)
add_custom_target(folvane_packed_files ALL DEPENDS ${folvane_packed_files})

if(FOLVANE_BUILD_QT)
  install(TARGETS folvane RUNTIME DESTINATION bin)
  # The desktop entry and the metainfo are named after the application id.
  set(FOLVANE_DESKTOP_ENTRY ${CMAKE_BINARY_DIR}/resources/${FOLVANE_APP_ID}.desktop)
  set(FOLVANE_METAINFO ${CMAKE_BINARY_DIR}/resources/${FOLVANE_APP_ID}.metainfo.xml)
  configure_file(${FOLVANE_LINUX_DIR}/folvane.desktop.in ${FOLVANE_DESKTOP_ENTRY} @ONLY)
  configure_file(${FOLVANE_LINUX_DIR}/folvane.metainfo.xml.in ${FOLVANE_METAINFO} @ONLY)
  install(FILES ${FOLVANE_DESKTOP_ENTRY} DESTINATION share/applications)
  install(FILES ${FOLVANE_METAINFO} DESTINATION share/metainfo)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/folvane-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME folvane.png)
  endforeach()
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/folvane.svg DESTINATION share/icons/hicolor/scalable/apps)
endif()

# The Debian package: its dependencies come from the libraries the programs link (shlibdeps).
set(CPACK_PACKAGE_NAME folvane)
set(CPACK_PACKAGE_VENDOR "Folvane developers")
set(CPACK_PACKAGE_CONTACT "Folvane developers <folvane@folvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file listings of folder trees as Shift-JIS text or HTML")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://folvane.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs speak Japanese with Qt's translations; the texts need a font with Japanese glyphs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic")
# The long description after the summary; CPack indents its lines and writes an empty one as " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Folvane walks a folder and writes a listing of every file and folder in it
with the facts you choose: size, attributes, creation and update date and
time, CRC-32 and file version. Each folder's entries are ordered, and the
hierarchy is drawn with tree lines in fixed display-cell columns. The listing
is a Shift-JIS text file or an HTML page made from a template. The user
interface and the listings are Japanese.

The package holds the desktop program folvane (Qt 6) and folvane-cli, which
makes listings from a terminal or a script.")
include(CPack)
