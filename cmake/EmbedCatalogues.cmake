# Script mode: writes OUTPUT, a C++ source that holds MO_DIR/LANG.mo for each
# of LANGUAGES (separated by commas) as a byte array, and EmbeddedCatalogue()
# to find them.
string(REPLACE "," ";" LANGUAGES "${LANGUAGES}")
set(arrays "")
set(lookups "")
foreach(language ${LANGUAGES})
  file(READ ${MO_DIR}/${language}.mo hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)"
                       "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "const unsigned char k_${language}[] = {\n    ${bytes}};\n")
  string(APPEND lookups "  if (language == \"${language}\")\n"
                        "    return {reinterpret_cast<const char*>(k_${language}), sizeof k_${language}};\n")
endforeach()
file(WRITE ${OUTPUT}.tmp
     "// Generated from po/*.po by cmake/EmbedCatalogues.cmake; do not edit.\n"
     "#include \"services/embedded_catalogues.h\"\n\n"
     "namespace zivivar {\nnamespace {\n\n${arrays}\n}  // namespace\n\n"
     "std::string_view EmbeddedCatalogue(std::string_view language) {\n${lookups}"
     "  return {};\n}\n\n}  // namespace zivivar\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
