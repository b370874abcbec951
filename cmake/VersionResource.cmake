# Windows version information: vr_runtime_path_version_resource(<target> <description>) gives
# an executable or DLL a version resource with the project's version, the description, the
# product's and the file's names and the licence's copyright line.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE copyright REGEX "^Copyright " LIMIT_COUNT 1)

function(vr_runtime_path_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(file_type VFT_APP)
  else()
    set(file_type VFT_DLL)
  endif()
  # The file's name is known once the build is generated: configure_file fills in the rest and
  # leaves a generator expression for file(GENERATE).
  set(target_file_name "$<TARGET_FILE_NAME:${target}>")
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${resource}.in @ONLY)
  file(GENERATE OUTPUT ${resource} INPUT ${resource}.in)
  target_sources(${target} PRIVATE ${resource})
endfunction()
