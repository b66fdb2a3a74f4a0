# The command-line tool's message catalogue: po/LANG.po, compiled by msgfmt
# (which also checks that every translation keeps its printf conversions)
# and built into the program, so that the build tree and an installed
# package speak alike without looking for files.
find_program(ZIVIVAR_MSGFMT msgfmt)
if(NOT ZIVIVAR_MSGFMT)
  message(FATAL_ERROR "msgfmt not found: install Debian's gettext package (scripts/install-deps)")
endif()
set(ZIVIVAR_EMBED_CATALOGUES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedCatalogues.cmake)

# zivivar_message_catalogues(target PO_FILES...): a static library that
# defines EmbeddedCatalogue() (services/embedded_catalogues.h) over the
# compiled PO_FILES, each named for its language.
function(zivivar_message_catalogues target)
  set(mo_files)
  set(languages)
  foreach(po ${ARGN})
    get_filename_component(language ${po} NAME_WE)
    set(mo ${CMAKE_CURRENT_BINARY_DIR}/po/${language}.mo)
    add_custom_command(
      OUTPUT ${mo}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/po
      COMMAND ${ZIVIVAR_MSGFMT} --check --output-file=${mo} ${po}
      DEPENDS ${po}
      COMMENT "Compiling the ${language} message catalogue")
    list(APPEND mo_files ${mo})
    list(APPEND languages ${language})
  endforeach()
  string(REPLACE ";" "," language_list "${languages}")
  set(source ${CMAKE_CURRENT_BINARY_DIR}/embedded_catalogues.cpp)
  add_custom_command(
    OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} -DLANGUAGES=${language_list} -DMO_DIR=${CMAKE_CURRENT_BINARY_DIR}/po
            -DOUTPUT=${source} -P ${ZIVIVAR_EMBED_CATALOGUES_SCRIPT}
    DEPENDS ${mo_files} ${ZIVIVAR_EMBED_CATALOGUES_SCRIPT}
    COMMENT "Embedding the message catalogues")
  zivivar_library(${target} ${source})
endfunction()
