# Binaries whose bytes do not depend on where or when they were built. The packages' own
# reproducibility (time stamps from SOURCE_DATE_EPOCH, sorted entries, fixed owners and modes) is
# cmake/package/make_packages.cmake's; scripts/check-reproducible.sh builds twice and compares.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  return()
endif()

# Paths in debug information and __FILE__ are written relative to the source folder, "."; a
# build folder outside it is written as "build".
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.)
cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${PROJECT_BINARY_DIR}" NORMALIZE build_in_source)
if(NOT build_in_source)
  add_compile_options(-ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
endif()

# The time of the build has no place in the code: __DATE__ and __TIME__ are errors in CI.
add_compile_options(-Wdate-time)

# Windows images carry a time stamp in their header, unless the linker writes zero.
if(MINGW)
  add_link_options(LINKER:--no-insert-timestamp)
endif()
