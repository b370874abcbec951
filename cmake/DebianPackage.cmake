# The Debian package, vr-runtime-path_<version>_<architecture>.deb, made by
# package/make_debian_package.cmake beside the other packages. It installs under /usr: the tool
# on PATH through /usr/bin, the program and its library in the package's private folder
# /usr/lib/vr-runtime-path, the documentation, the copyright file and the compressed manual page.
find_program(DPKG_DEB_EXECUTABLE dpkg-deb)
find_program(DPKG_SHLIBDEPS_EXECUTABLE dpkg-shlibdeps)
if(NOT DPKG_DEB_EXECUTABLE OR NOT DPKG_SHLIBDEPS_EXECUTABLE)
  message(STATUS "No Debian package: dpkg-deb and dpkg-shlibdeps (Debian package dpkg-dev) are missing")
  return()
endif()

# Debian's name for the processor the binaries are built for.
string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" processor)
if(processor MATCHES "^(x86_64|amd64)$")
  set(CPACK_VR_RUNTIME_PATH_DEB_ARCHITECTURE amd64)
elseif(processor MATCHES "^(aarch64|arm64)$")
  set(CPACK_VR_RUNTIME_PATH_DEB_ARCHITECTURE arm64)
else()
  message(STATUS "No Debian package: no Debian architecture known for ${CMAKE_SYSTEM_PROCESSOR}")
  return()
endif()

set(CPACK_VR_RUNTIME_PATH_DEB_FILE_NAME
    ${PROJECT_NAME}_${PROJECT_VERSION}_${CPACK_VR_RUNTIME_PATH_DEB_ARCHITECTURE}.deb)
set(CPACK_VR_RUNTIME_PATH_DEB_MAINTAINER "the vr-runtime-path authors <vr-runtime-path@example.org>")
set(CPACK_VR_RUNTIME_PATH_DEB_TEMPLATES ${PROJECT_SOURCE_DIR}/packaging/debian)
set(CPACK_VR_RUNTIME_PATH_DPKG_DEB ${DPKG_DEB_EXECUTABLE})
set(CPACK_VR_RUNTIME_PATH_DPKG_SHLIBDEPS ${DPKG_SHLIBDEPS_EXECUTABLE})
# A cross build's binaries need the target's C library, which Debian's cross packages
# (libc6-arm64-cross, say) keep under the cross root rather than in the multiarch folders.
set(CPACK_VR_RUNTIME_PATH_DEB_LIBRARY_DIRS "")
if(CMAKE_CROSSCOMPILING)
  foreach(root IN LISTS CMAKE_FIND_ROOT_PATH)
    list(APPEND CPACK_VR_RUNTIME_PATH_DEB_LIBRARY_DIRS ${root}/lib)
  endforeach()
endif()
list(APPEND CPACK_VR_RUNTIME_PATH_FORMATS deb)
