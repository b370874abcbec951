# Installation and packages: a zip on Windows, a .tar.gz elsewhere.
include(GNUInstallDirs)

if(WIN32)
  # One folder: the DLL beside the executable, where Windows looks for it first.
  set(install_bindir .)
  set(install_libdir .)
  set(install_docdir .)
else()
  set(install_bindir ${CMAKE_INSTALL_BINDIR})
  set(install_libdir ${CMAKE_INSTALL_LIBDIR})
  set(install_docdir ${CMAKE_INSTALL_DOCDIR})
  # The installed tool finds the library through a run path relative to itself, wherever the
  # installed tree is moved.
  file(RELATIVE_PATH libdir_from_bindir /${install_bindir} /${install_libdir})
  set_target_properties(vr-runtime-path PROPERTIES INSTALL_RPATH "$ORIGIN/${libdir_from_bindir}")
endif()

set(installed_targets vr-runtime-path)
if(TARGET openvr_api)
  list(APPEND installed_targets openvr_api)
endif()
install(
  TARGETS ${installed_targets}
  RUNTIME DESTINATION ${install_bindir}
  LIBRARY DESTINATION ${install_libdir}
  # Import libraries are for building, not for running: not part of an installation.
  ARCHIVE DESTINATION ${install_libdir} COMPONENT development EXCLUDE_FROM_ALL)
install(FILES README.md DESTINATION ${install_docdir})

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
