# Installation of the window, the command-line tool, the device library, the
# desktop files, the manual pages and the documentation, and the Debian
# package made from them with CPack.
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


# The manual pages, built with the programs: zivivar-cli(1) from the tool's own
# --help, so that it follows the tool; zivivar(1) from its roff source. Both
# are compressed as Debian installs manual pages.
find_program(HELP2MAN help2man)
find_program(GZIP gzip REQUIRED)
set(ZIVIVAR_MAN_DIR ${CMAKE_CURRENT_BINARY_DIR}/man)
configure_file(${CMAKE_CURRENT_LIST_DIR}/zivivar.1.in ${ZIVIVAR_MAN_DIR}/zivivar.1 @ONLY)
set(zivivar_man_pages ${ZIVIVAR_MAN_DIR}/zivivar.1.gz)
add_custom_command(
  OUTPUT ${ZIVIVAR_MAN_DIR}/zivivar.1.gz
  COMMAND ${GZIP} -9nc ${ZIVIVAR_MAN_DIR}/zivivar.1 > ${ZIVIVAR_MAN_DIR}/zivivar.1.gz
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/zivivar.1.in
  VERBATIM)
if(TARGET zivivar-cli)
  if(NOT HELP2MAN)
    message(FATAL_ERROR "help2man is needed for the manual page of zivivar-cli "
                        "(scripts/install-deps installs it)")
  endif()
  add_custom_command(
    OUTPUT ${ZIVIVAR_MAN_DIR}/zivivar-cli.1.gz
    # The page is English whatever the builder's locale: the tool speaks German
    # when LANGUAGE, LC_ALL, LC_MESSAGES or LANG ask for it.
    COMMAND ${CMAKE_COMMAND} -E env --unset=LANGUAGE --unset=LC_MESSAGES LC_ALL=C LANG=C
            ${HELP2MAN} --no-info --no-discard-stderr --version-string=${PROJECT_VERSION}
            --name=program\ AT89S\ 8051\ flash\ microcontrollers\ from\ the\ command\ line
            --section=1 --output=${ZIVIVAR_MAN_DIR}/zivivar-cli.1 $<TARGET_FILE:zivivar-cli>
    COMMAND ${GZIP} -9nf ${ZIVIVAR_MAN_DIR}/zivivar-cli.1
    DEPENDS zivivar-cli
    VERBATIM)
  list(APPEND zivivar_man_pages ${ZIVIVAR_MAN_DIR}/zivivar-cli.1.gz)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/zivivar-cli.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zivivar-cli)
endif()
add_custom_target(zivivar_man_pages ALL DEPENDS ${zivivar_man_pages})
install(FILES ${zivivar_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# /usr/share/doc/zivivar: copyright, changelog, README and the example firmware.
set(ZIVIVAR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zivivar)
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  COMMAND ${GZIP} -9nc ${CMAKE_CURRENT_LIST_DIR}/changelog > ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog
  VERBATIM)
add_custom_target(zivivar_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
              ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${ZIVIVAR_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/examples/README.md ${PROJECT_SOURCE_DIR}/data/examples/blink.c
              ${PROJECT_SOURCE_DIR}/data/examples/blink.ihx
        DESTINATION ${ZIVIVAR_DOC_DIR}/examples)

set(CPACK_PACKAGE_NAME zivivar)
set(CPACK_PACKAGE_VENDOR "zivivar developers")
set(CPACK_PACKAGE_CONTACT "zivivar developers <maintainers@zivivar.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "zivivar developers <maintainers@zivivar.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programmer for AT89S 8051 flash microcontrollers")
set(CPACK_PACKAGE_DESCRIPTION
    "Blank check, read out, program with verify and lock bits, verify and
erase of AT89S-family 8051 flash microcontrollers through a register-bank
adapter on a PC parallel port. Reads and writes binary, Intel HEX, Motorola
S-record, MOS Technology and Tektronix files. Qt 6 window and command-line
tool.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
# The package installs where the build was configured to (-DCMAKE_INSTALL_PREFIX=/usr
# for a package of the distribution's kind), so the desktop entry's path holds.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zivivar.org/")
# The libraries come from dpkg-shlibdeps; the toolkit's plugins and
# translations are loaded at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
