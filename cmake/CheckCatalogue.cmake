# Script mode: fails when po/*.po holds a msgid that no string literal of the
# code below the window (SOURCE_DIR/src without gui/) spells: a text that was
# reworded or removed in the code and left behind in the catalogue.
find_program(XGETTEXT xgettext REQUIRED)
find_program(MSGCMP msgcmp REQUIRED)
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h)
list(FILTER sources EXCLUDE REGEX "^src/gui/")
string(REPLACE ";" "\n" source_list "${sources}")
file(WRITE ${WORK_DIR}/catalogue_sources.txt "${source_list}\n")
execute_process(
  COMMAND ${XGETTEXT} --extract-all --language=C++ --from-code=UTF-8 --no-location
          --directory=${SOURCE_DIR} --files-from=${WORK_DIR}/catalogue_sources.txt
          --output=${WORK_DIR}/code_literals.pot
  RESULT_VARIABLE extracted ERROR_QUIET)
if(NOT extracted EQUAL 0)
  message(FATAL_ERROR "xgettext could not read the sources")
endif()
file(GLOB catalogues ${SOURCE_DIR}/po/*.po)
set(stale "")
foreach(po ${catalogues})
  # msgcmp DEF REF: every msgid of REF must be in DEF.
  execute_process(COMMAND ${MSGCMP} --use-untranslated ${WORK_DIR}/code_literals.pot ${po}
                  RESULT_VARIABLE compared ERROR_VARIABLE report)
  if(NOT compared EQUAL 0)
    string(REGEX REPLACE "[^\n]*this message is not used\n" "" report "${report}")
    string(APPEND stale "${report}")
  endif()
endforeach()
if(stale)
  message(FATAL_ERROR "Catalogue entries whose text the code no longer uses:\n${stale}")
endif()
