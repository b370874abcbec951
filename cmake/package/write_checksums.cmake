# Writes SHA256SUMS beside the packages, in the format that sha256sum -c checks: run by CPack
# after it has made the packages (CPACK_POST_BUILD_SCRIPTS).
set(checksums "")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  cmake_path(GET package FILENAME name)
  # CPack's External generator lists the metadata it wrote for the packaging script.
  if(name STREQUAL "${CPACK_PACKAGE_FILE_NAME}.json")
    continue()
  endif()
  file(SHA256 ${package} checksum)
  list(APPEND checksums "${checksum}  ${name}")
endforeach()
list(JOIN checksums "\n" checksums)
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${checksums}\n")
