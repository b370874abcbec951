# copy_target_file(<name> <target> <destination> [EXCLUDE_FROM_ALL]): a custom target <name>
# that keeps a copy of <target>'s file at <destination>, renewed whenever the target is rebuilt.
# It is part of the default build unless EXCLUDE_FROM_ALL is given.
function(copy_target_file name target destination)
  cmake_parse_arguments(PARSE_ARGV 3 copy "EXCLUDE_FROM_ALL" "" "")
  add_custom_command(
    OUTPUT ${destination}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${destination}
    DEPENDS ${target}
    COMMENT "Copying ${target} to ${destination}")
  if(copy_EXCLUDE_FROM_ALL)
    add_custom_target(${name} DEPENDS ${destination})
  else()
    add_custom_target(${name} ALL DEPENDS ${destination})
  endif()
endfunction()
