# Installation and packages: a zip on Windows; a .tar.gz and a Debian package on Linux.

set(installed_targets vr-runtime-path)
if(TARGET openvr_api)
  list(APPEND installed_targets openvr_api)
endif()

if(WIN32)
  # One folder: the DLL beside the executable, where Windows looks for it first.
  set(private_dir .)
  set(install_docdir .)
else()
  # The tool and its library stay side by side in a folder of their own, as in the build tree,
  # so that the tool's run path holds in both, and a library with so common a name stays off
  # the system's library path. bin/ holds a symbolic link; the loader resolves $ORIGIN through
  # it to the real folder.
  set(private_dir ${CMAKE_INSTALL_LIBDIR}/${PROJECT_NAME})
  set(install_docdir ${CMAKE_INSTALL_DOCDIR})

  file(RELATIVE_PATH link_target /${CMAKE_INSTALL_BINDIR} /${private_dir}/vr-runtime-path)
  set(link ${PROJECT_BINARY_DIR}/install_links/vr-runtime-path)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/install_links)
  file(CREATE_LINK ${link_target} ${link} SYMBOLIC)
  install(FILES ${link} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(
  TARGETS ${installed_targets}
  RUNTIME DESTINATION ${private_dir}
  LIBRARY DESTINATION ${private_dir}
  # Import libraries are for building, not for running: not part of an installation.
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development EXCLUDE_FROM_ALL)
install(FILES README.md LICENSE DESTINATION ${install_docdir})

# The packages are made from CPack's staged installation by make_packages.cmake, which fixes
# what CPack's own archives leave to the build machine: the order of the entries (CPack's
# follows the file system), their owners and their modes. Every package build also writes
# SHA256SUMS beside the packages.
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
if(WIN32)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_VR_RUNTIME_PATH_FORMATS zip)
  find_program(ZIP_EXECUTABLE zip REQUIRED)
  set(CPACK_VR_RUNTIME_PATH_ZIP ${ZIP_EXECUTABLE})
else()
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_VR_RUNTIME_PATH_FORMATS tar.gz)
  include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)
endif()
# CPack.cmake leaves the source package's name in CPACK_PACKAGE_FILE_NAME: the tests take ours.
set(VR_RUNTIME_PATH_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_PACKAGE_FILE_NAME ${VR_RUNTIME_PATH_PACKAGE_FILE_NAME})
set(CPACK_VR_RUNTIME_PATH_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_REQUESTED_VERSIONS 1.0)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/package/make_packages.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package/write_checksums.cmake)
# One staged tree of everything that is installed by default; make_packages.cmake strips it.
set(CPACK_MONOLITHIC_INSTALL ON)
set(CPACK_VR_RUNTIME_PATH_STRIP ${CMAKE_STRIP})
include(CPack)
