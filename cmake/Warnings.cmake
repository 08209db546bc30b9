# Strict warnings for the project's own targets only.
function(kelvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
