# suite_warnings(<target>): the warning set every target of the suite builds with.
function(suite_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(SUITE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
