# Warnings for code we own. Third-party code (googletest) never sees these.
function(zuuc_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align -Wformat=2)
  if(ZUUC_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
