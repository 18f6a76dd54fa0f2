# One place for the warning set so every target gets the same flags.
function(xiyingxia_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor)
  if(XIYINGXIA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
