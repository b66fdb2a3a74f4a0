# Compiler settings shared by every target of the project.
add_library(zivivar_options INTERFACE)
target_compile_options(zivivar_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                                 -Wconversion -Wno-sign-conversion)
if(ZIVIVAR_WERROR)
  target_compile_options(zivivar_options INTERFACE -Werror)
endif()
if(ZIVIVAR_SANITIZE)
  target_compile_options(zivivar_options INTERFACE -fsanitize=address,undefined
                                                   -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(zivivar_options INTERFACE -fsanitize=address,undefined)
endif()

# zivivar_library(name sources...): one static library per source folder.
function(zivivar_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC zivivar_options)
endfunction()
