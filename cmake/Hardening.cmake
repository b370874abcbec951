# Protections every binary of this project is built with: the compiler's guards against stack
# smashing and buffer overflows and, on Linux, a position-independent executable, relocations
# made read-only once they are done (RELRO), a stack that cannot hold code,
# guarded stack growth and control-flow protection (Intel CET on x86, branch protection on
# Arm). On Windows the MinGW-w64 linker already asks for ASLR with high entropy and for DEP;
# -fcf-protection is left out there, since GNU ld cannot mark an image as CET-compatible and
# the instructions would go unused. tests/release/check_hardening.sh and
# tests/windows/check_binaries.sh check the result.
#
# The sanitizer presets turn it off: AddressSanitizer checks memory more thoroughly than
# _FORTIFY_SOURCE, whose checked functions would hide accesses from it.
option(VR_RUNTIME_PATH_HARDENING "Build with the compiler's and linker's protections" ON)
if(NOT VR_RUNTIME_PATH_HARDENING OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  return()
endif()
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)

add_compile_options(-fstack-protector-strong)
# MinGW-w64 takes the guard, and the checked functions below, from GCC's libssp, which the
# compiler links in only when it links with the option too.
if(MINGW)
  add_link_options(-fstack-protector-strong)
endif()

# Checked variants of the C library's memory and string functions, at the highest level the
# compiler supports; only an optimised build can have them. Whatever level the compiler
# predefines is replaced.
check_cxx_source_compiles("int main() { char b[2]; return __builtin_dynamic_object_size(b, 0) == 2 ? 0 : 1; }"
                          compiler_has_dynamic_object_size)
if(compiler_has_dynamic_object_size)
  set(fortify_level 3)
else()
  set(fortify_level 2)
endif()
add_compile_options(
  "$<$<AND:$<COMPILE_LANGUAGE:C,CXX>,$<CONFIG:Release,RelWithDebInfo,MinSizeRel>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=${fortify_level}>"
)

if(WIN32)
  return()
endif()

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
# RELRO: the relocations done at load time are made read-only before the program runs. Symbols
# stay bound lazily, on first call (no -z now, as in Debian's default build flags): the tool
# runs for a millisecond, and binding every import up front costs more than our whole lookup.
# Measured with bench/startup.sh and callgrind on a 2-core virtual machine: -z now adds 54,000
# instructions to a run of 262,000 (41,000 for the tool's own imports, most of them pulled in
# by the static C++ runtime and never called, 16,000 for the library's), which takes the tool
# from 1.19 to 1.23 times the instructions of the benchmark's floor; its wall time stays within
# the run-to-run noise.
add_link_options(LINKER:-z,relro LINKER:-z,noexecstack)
foreach(flag -fstack-clash-protection -fcf-protection -mbranch-protection=standard)
  string(MAKE_C_IDENTIFIER "compiler_supports${flag}" supported)
  check_cxx_compiler_flag(${flag} ${supported})
  if(${supported})
    add_compile_options(${flag})
  endif()
endforeach()
