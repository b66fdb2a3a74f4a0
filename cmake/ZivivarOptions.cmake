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

# zivivar_folder_library(name LIBS libs...): the library of one source folder,
# made of every .cpp in it (so that developers adding files need not edit this).
function(zivivar_folder_library name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    zivivar_library(${name} ${sources})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE zivivar_options ${ARG_LIBS})
  endif()
endfunction()
