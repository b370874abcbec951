# How the binaries we ship, the tool and the library, are linked.
include(CheckCXXSourceCompiles)

# Unused code and data are dropped at link time, which needs each function and object in a
# section of its own. Harmless for everything else built here.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-ffunction-sections -fdata-sections)
endif()

# Relative relocations packed into a compact table: less for the loader to read at start-up.
# Some linkers only warn that they ignore the option for their target.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CMAKE_REQUIRED_LINK_OPTIONS "LINKER:-z,pack-relative-relocs")
  check_cxx_source_compiles("int main() { return 0; }" linker_packs_relative_relocs
                            FAIL_REGEX "pack-relative-relocs.*ignored")
  unset(CMAKE_REQUIRED_LINK_OPTIONS)
endif()

function(vr_runtime_path_shipped_binary target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_link_options(${target} PRIVATE LINKER:--gc-sections LINKER:-O1 LINKER:--as-needed)
  endif()
  if(linker_packs_relative_relocs)
    target_link_options(${target} PRIVATE LINKER:-z,pack-relative-relocs)
  endif()
  vr_runtime_path_static_runtime(${target})
endfunction()

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
