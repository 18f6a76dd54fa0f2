# One place for the warning set so every target gets the same flags.
function(xiyingxia_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor)
  # GCC 12 reports std::string concatenation at -O2/-O3 as overlapping memcpy (GCC bug 105329,
  # a false positive fixed in GCC 13).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  # The sanitizers' instrumentation makes GCC's -Wmaybe-uninitialized fire inside the standard
  # library (std::function in std::regex); GCC's manual warns of exactly this.
  if(XIYINGXIA_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
  endif()
  if(XIYINGXIA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
