# Makes the Debian package from the staged tree: included by make_packages.cmake, whose run()
# and binaries it uses; sets package to the .deb's path. The Debian-specific files come
# from packaging/debian/; dpkg-shlibdeps computes Depends from the binaries.
set(package_root ${top}/deb)
set(package_docdir ${package_root}/usr/share/doc/${CPACK_PACKAGE_NAME})
set(templates ${CPACK_VR_RUNTIME_PATH_DEB_TEMPLATES})
file(REMOVE_RECURSE ${package_root})
file(MAKE_DIRECTORY ${package_root}/DEBIAN ${package_root}/usr)
file(COPY ${stage}/ DESTINATION ${package_root}/usr)

# The licence goes into Debian's machine-readable copyright file rather than a file of its own:
# the text after the copyright line, each line indented, empty lines as " .".
file(REMOVE ${package_docdir}/LICENSE)
file(STRINGS ${CPACK_VR_RUNTIME_PATH_SOURCE_DIR}/LICENSE licence_lines)
set(licence_text "")
set(copyright "")
foreach(line IN LISTS licence_lines)
  if(line MATCHES "^Copyright \\(c\\) (.+)$")
    set(copyright ${CMAKE_MATCH_1})
  elseif(copyright)
    if(line STREQUAL "")
      string(APPEND licence_text " .\n")
    else()
      string(APPEND licence_text " ${line}\n")
    endif()
  endif()
endforeach()
string(REGEX REPLACE "^ \\.\n" "" licence_text "${licence_text}")
string(REGEX REPLACE "\n$" "" licence_text "${licence_text}")
configure_file(${templates}/copyright.in ${package_docdir}/copyright @ONLY)

# Debian's changelog, which must describe the version being packaged.
file(STRINGS ${templates}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^${CPACK_PACKAGE_NAME} \\(${CPACK_PACKAGE_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog has no entry for ${CPACK_PACKAGE_VERSION} at the top")
endif()
run(gzip -9n -c ${templates}/changelog OUTPUT_FILE ${package_docdir}/changelog.gz)

# Depends: dpkg-shlibdeps reads the binaries' needs; it wants a debian/control where it runs,
# and takes libraries inside the package's own tree (under DEBIAN's parent) as its own.
set(elf_files ${binaries})
list(TRANSFORM elf_files PREPEND -e${package_root}/usr/)
set(library_dirs ${CPACK_VR_RUNTIME_PATH_DEB_LIBRARY_DIRS})
list(TRANSFORM library_dirs PREPEND -l)
file(WRITE ${top}/shlibdeps/debian/control "")
execute_process(
  COMMAND ${CPACK_VR_RUNTIME_PATH_DPKG_SHLIBDEPS} -O ${library_dirs} ${elf_files}
  WORKING_DIRECTORY ${top}/shlibdeps
  OUTPUT_VARIABLE shlibdeps_output
  ERROR_VARIABLE shlibdeps_messages COMMAND_ERROR_IS_FATAL ANY)
# Our private library's name carries no version, as nothing outside the package links to it;
# dpkg-shlibdeps says so, and rightly needs no package for it.
string(REGEX REPLACE "[^\n]*library name 'libopenvr_api\\.so'\n" "" shlibdeps_messages
                     "${shlibdeps_messages}")
if(shlibdeps_messages)
  message(WARNING "${shlibdeps_messages}")
endif()
string(REGEX MATCH "shlibs:Depends=([^\n]*)" _ "${shlibdeps_output}")
set(depends ${CMAKE_MATCH_1})
# The cross packages name the target's own packages with its architecture ("libc6:arm64"): a
# package of that architecture depends on them by name alone.
string(REGEX REPLACE ":${CPACK_VR_RUNTIME_PATH_DEB_ARCHITECTURE}([ ,]|$)" "\\1" depends
                     "${depends}")
if(depends STREQUAL "")
  message(FATAL_ERROR "dpkg-shlibdeps found no dependencies: ${shlibdeps_output}")
endif()

# Installed-Size in KiB, counted as dpkg does: each file rounded up, each other entry 1 KiB.
# md5sums lists the regular files, sorted.
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${package_root} ${package_root}/usr
     ${package_root}/usr/*)
set(installed_size 0)
set(md5sums "")
foreach(entry IN LISTS entries)
  set(path ${package_root}/${entry})
  if(IS_SYMLINK ${path} OR IS_DIRECTORY ${path})
    math(EXPR installed_size "${installed_size} + 1")
  else()
    file(SIZE ${path} size)
    math(EXPR installed_size "${installed_size} + (${size} + 1023) / 1024")
    file(MD5 ${path} md5)
    string(APPEND md5sums "${md5}  ${entry}\n")
  endif()
endforeach()
file(WRITE ${package_root}/DEBIAN/md5sums ${md5sums})
configure_file(${templates}/control.in ${package_root}/DEBIAN/control @ONLY)

run(chmod -R u=rwX,go=rX ${package_root})
set(package ${top}/${CPACK_VR_RUNTIME_PATH_DEB_FILE_NAME})
# dpkg-deb sorts the entries, takes their times from SOURCE_DATE_EPOCH and, here, their owner
# from root; one compression thread keeps xz's output the same on any machine.
run(${CPACK_VR_RUNTIME_PATH_DPKG_DEB} --root-owner-group -Zxz --threads-max=1 --build
    ${package_root} ${package})
