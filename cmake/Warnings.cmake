# Warnings every target of this project is built with. CI turns them into errors with
# CMAKE_COMPILE_WARNING_AS_ERROR.
function(vr_runtime_path_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive-)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wsign-conversion)
  endif()
endfunction()
