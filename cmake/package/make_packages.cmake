# Makes the packages from CPack's staged installation: run by CPack's External generator, with
# the CPACK_ variables of CPackConfig.cmake. Formats: CPACK_VR_RUNTIME_PATH_FORMATS, any of
# tar.gz, zip and deb.
#
# A package's bytes depend on the sources alone, not on the machine, the folder, the user or
# the time of the build: every time stamp is SOURCE_DATE_EPOCH, entries are sorted by name and
# owned by root, folders have mode 755 and files 644, or 755 when executable.
set(stage ${CPACK_TEMPORARY_DIRECTORY})
set(top ${CPACK_TOPLEVEL_DIRECTORY})

# SOURCE_DATE_EPOCH: the caller's, else the time of the source tree's last commit, else (a tree
# without git, such as one unpacked from a source archive) the modification time of the
# top-level CMakeLists.txt, which in an archive made by git archive is that commit's time.
if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
  set(source_dir ${CPACK_VR_RUNTIME_PATH_SOURCE_DIR})
  execute_process(
    COMMAND git -C ${source_dir} rev-parse --show-toplevel
    OUTPUT_VARIABLE git_top_level
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE git_failed
    ERROR_QUIET)
  if(NOT git_failed AND git_top_level STREQUAL source_dir)
    execute_process(
      COMMAND git -C ${source_dir} log -1 --format=%ct
      OUTPUT_VARIABLE epoch
      OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  else()
    file(TIMESTAMP ${source_dir}/CMakeLists.txt epoch %s UTC)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
set(epoch $ENV{SOURCE_DATE_EPOCH})
message(STATUS "SOURCE_DATE_EPOCH=${epoch}")

# run(<command>...): runs a command in the staging area's parent folder; any failure is fatal.
function(run)
  execute_process(COMMAND ${ARGV} WORKING_DIRECTORY ${top} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# The binaries (the ELF and PE files, listed in binaries relative to the staging area) lose
# their symbols and debug information. strip writes SOURCE_DATE_EPOCH into a Windows image's
# header as its time stamp: zero keeps the linker's "none".
set(binaries "")
file(GLOB_RECURSE files RELATIVE ${stage} ${stage}/*)
foreach(file IN LISTS files)
  if(NOT IS_SYMLINK ${stage}/${file})
    file(READ ${stage}/${file} magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46" OR magic MATCHES "^4d5a")
      list(APPEND binaries ${file})
      run(${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CPACK_VR_RUNTIME_PATH_STRIP} ${stage}/${file})
    endif()
  endif()
endforeach()

# The staged tree as packed: fixed modes, every time stamp the epoch (for zip, which stores
# the files' own).
run(chmod -R u=rwX,go=rX ${stage})
run(find ${stage} -exec touch -h -d @${epoch} {} +)

set(packages "")
foreach(format IN LISTS CPACK_VR_RUNTIME_PATH_FORMATS)
  if(format STREQUAL "tar.gz")
    set(package ${top}/${CPACK_PACKAGE_FILE_NAME}.tar.gz)
    run(tar --create --sort=name --format=gnu --owner=0 --group=0 --numeric-owner
        --mtime=@${epoch} ${CPACK_PACKAGE_FILE_NAME}
        COMMAND gzip -9n OUTPUT_FILE ${package})
  elseif(format STREQUAL "zip")
    set(package ${top}/${CPACK_PACKAGE_FILE_NAME}.zip)
    # file(GLOB) sorts its result. zip -X leaves out the owners and extra time stamps, -D the
    # folders' own entries; zip stores times in the local time zone.
    file(GLOB_RECURSE files RELATIVE ${top} ${stage}/*)
    run(${CMAKE_COMMAND} -E env TZ=UTC ${CPACK_VR_RUNTIME_PATH_ZIP} -X -D -q -9 ${package} ${files})
  elseif(format STREQUAL "deb")
    include(${CMAKE_CURRENT_LIST_DIR}/make_debian_package.cmake)
  else()
    message(FATAL_ERROR "Unknown package format ${format}")
  endif()
  list(APPEND packages ${package})
endforeach()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${packages})
