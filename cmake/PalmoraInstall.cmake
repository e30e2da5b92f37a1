# Installs the shared library, the public headers, a CMake package and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS palmora EXPORT palmoraTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/palmora DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT palmoraTargets NAMESPACE palmora::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/palmora)

configure_package_config_file(cmake/palmoraConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/palmoraConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/palmora)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/palmoraConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/palmoraConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/palmoraConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/palmora)

configure_file(cmake/palmora.pc.in ${CMAKE_CURRENT_BINARY_DIR}/palmora.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/palmora.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
