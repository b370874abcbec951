# GoogleTest for the test suites: the installed package in a native build; in a cross build,
# built for the target from the sources that Debian's googletest package ships.
if(CMAKE_CROSSCOMPILING)
  find_path(
    googletest_source_dir googletest/CMakeLists.txt
    PATHS /usr/src/googletest
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(BUILD_GMOCK OFF)
  set(INSTALL_GTEST OFF)
  add_subdirectory(${googletest_source_dir} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Its warnings are not ours to fix. It names its targets GTest::gtest and GTest::gtest_main,
  # as the installed package does.
  set_target_properties(gtest gtest_main PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
