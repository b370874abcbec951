# Provides the target vr_runtime_path::json for the header-only nlohmann_json package.
#
# A cross build cannot use the package's own target: it points at the build machine's whole
# system include folder, whose C library headers would replace the cross compiler's. The
# cross build therefore sees only the package's "nlohmann" folder, staged on its own.
find_package(nlohmann_json 3.10 REQUIRED CONFIG NO_CMAKE_FIND_ROOT_PATH)

add_library(vr_runtime_path_json INTERFACE)
add_library(vr_runtime_path::json ALIAS vr_runtime_path_json)

if(CMAKE_CROSSCOMPILING)
  get_target_property(json_include_dirs nlohmann_json::nlohmann_json INTERFACE_INCLUDE_DIRECTORIES)
  find_path(
    json_header_root nlohmann/json.hpp
    HINTS ${json_include_dirs}
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(staged_include_dir ${PROJECT_BINARY_DIR}/nlohmann_json/include)
  file(MAKE_DIRECTORY ${staged_include_dir})
  file(CREATE_LINK ${json_header_root}/nlohmann ${staged_include_dir}/nlohmann SYMBOLIC)
  target_include_directories(vr_runtime_path_json SYSTEM INTERFACE ${staged_include_dir})
else()
  target_link_libraries(vr_runtime_path_json INTERFACE nlohmann_json::nlohmann_json)
endif()
