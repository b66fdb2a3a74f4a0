# Installation of the window, the command-line tool, the device library and
# the desktop files, and the Debian package made from them with CPack.
include(GNUInstallDirs)

# The desktop start script finds the program and the library relative to
# itself, so an installation under another --prefix still works; the desktop
# entry names the script by its full path under the configured prefix.
file(RELATIVE_PATH ZIVIVAR_START_TO_BIN /p/${CMAKE_INSTALL_LIBEXECDIR}/zivivar
     /p/${CMAKE_INSTALL_BINDIR})
file(RELATIVE_PATH ZIVIVAR_START_TO_DATA /p/${CMAKE_INSTALL_LIBEXECDIR}/zivivar
     /p/${CMAKE_INSTALL_DATADIR}/zivivar)
set(ZIVIVAR_LAUNCHER ${CMAKE_INSTALL_FULL_LIBEXECDIR}/zivivar/zivivar-start)

install(TARGETS zivivar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET zivivar-cli)
  install(TARGETS zivivar-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/data/VOZ8051.CSV)
  install(FILES ${PROJECT_SOURCE_DIR}/data/VOZ8051.CSV DESTINATION ${CMAKE_INSTALL_DATADIR}/zivivar)
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/zivivar-start.in
               ${CMAKE_CURRENT_BINARY_DIR}/zivivar-start @ONLY)
install(PROGRAMS ${CMAKE_CURRENT_BINARY_DIR}/zivivar-start
        DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/zivivar)
configure_file(${CMAKE_CURRENT_LIST_DIR}/zivivar.desktop.in
               ${CMAKE_CURRENT_BINARY_DIR}/zivivar.desktop @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zivivar.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/zivivar-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME zivivar.png)
endforeach()

set(CPACK_PACKAGE_NAME zivivar)
set(CPACK_PACKAGE_VENDOR "zivivar developers")
set(CPACK_PACKAGE_CONTACT "zivivar developers <zivivar@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Programmer for AT89S 8051 flash microcontrollers")
set(CPACK_PACKAGE_DESCRIPTION
    "Blank check, read out, program with verify and lock bits, verify and erase of
AT89S-family 8051 flash microcontrollers through a register-bank adapter on a
PC parallel port. Reads and writes binary, Intel HEX, Motorola S-record, MOS
Technology and Tektronix files. Qt 6 window and command-line tool.")
set(CPACK_GENERATOR DEB)
# The package installs where the build was configured to (-DCMAKE_INSTALL_PREFIX=/usr
# for a package of the distribution's kind), so the desktop entry's path holds.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), qt6-qpa-plugins, qt6-translations-l10n, libc6, libstdc++6")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
