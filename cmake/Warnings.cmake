# Every target of the project compiles with the same warnings.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(HOTCOMMENTS_WERROR)
  add_compile_options(-Werror)
endif()
