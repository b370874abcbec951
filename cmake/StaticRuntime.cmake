# Links the compiler's C++ and support runtimes into a binary. On Linux this keeps start-up
# fast (no libstdc++ to load and relocate); on Windows it makes the binaries self-contained
# (no libstdc++, libgcc or winpthread DLL to ship).
function(vr_runtime_path_static_runtime target)
  if(NOT VR_RUNTIME_PATH_STATIC_RUNTIME)
    return()
  endif()
  if(MINGW)
    target_link_options(${target} PRIVATE -static)
  elseif(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
endfunction()
