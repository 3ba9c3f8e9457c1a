if(HOTCOMMENTS_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(HOTCOMMENTS_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need clang: configure with CC=clang CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()

# add_fuzz_target(<name> <source> LIBRARIES <libs...>): one libFuzzer program.
# Its seed corpus lives in fuzz/corpus/<name>/.
function(add_fuzz_target name source)
  cmake_parse_arguments(FUZZ "" "" "LIBRARIES" ${ARGN})
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${FUZZ_LIBRARIES})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY HOTCOMMENTS_FUZZ_TARGETS ${name})
endfunction()
