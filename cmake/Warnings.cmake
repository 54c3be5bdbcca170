# Warnings are errors on our own code only; third-party headers come in as system includes.
function(cartena_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wcast-align -Woverloaded-virtual -Wformat=2 -Werror)
endfunction()
