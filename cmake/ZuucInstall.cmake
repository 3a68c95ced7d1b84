# Installation: headers, the library with its SONAME links, the encoding
# modules and the default collation table beside it (where the loader's
# default search and CollationSequence find them), zuconv,
# a CMake package (find_package(zuuc CONFIG) -> zuuc::zuuc) and zuuc.pc.
include(CMakePackageConfigHelpers)

set_target_properties(zuuc421 PROPERTIES EXPORT_NAME zuuc)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/zuuc
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS zuuc421 EXPORT zuucTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS ${ZUUC_ENCODING_LIBRARIES}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/src/collation/generated/default.zct
        DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS zuconv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(ZUUC_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zuuc)
install(EXPORT zuucTargets NAMESPACE zuuc:: DESTINATION ${ZUUC_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/zuucConfig.cmake.in
  ${PROJECT_BINARY_DIR}/zuucConfig.cmake INSTALL_DESTINATION ${ZUUC_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zuucConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/zuucConfig.cmake ${PROJECT_BINARY_DIR}/zuucConfigVersion.cmake
        DESTINATION ${ZUUC_CMAKE_DIR})

file(RELATIVE_PATH ZUUC_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" ZUUC_PC_TO_PREFIX "${ZUUC_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/zuuc.pc.in ${PROJECT_BINARY_DIR}/zuuc.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zuuc.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
