# The installed library: libzqgfx.a, the public headers, the CMake package
# zqgfx (target zq::gfx) and the pkg-config file zqgfx.pc. Both packages are
# relocatable: they find the prefix from where they were installed.
include(CMakePackageConfigHelpers)

set(ZQGFX_VERSION 0.1.0)
set_target_properties(zqcore PROPERTIES OUTPUT_NAME zqgfx EXPORT_NAME gfx)
target_include_directories(zqcore INTERFACE $<INSTALL_INTERFACE:include>)

# What a program linked with the library needs besides it, for pkg-config.
if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(sym_prefix "_")
  endif()
  # Static C and C++ runtimes: the programs then run without mingw's DLLs.
  target_link_options(zqcore INTERFACE $<INSTALL_INTERFACE:-static>)
  set(ZQ_PC_LIBS "-luser32 -lgdi32 -lwinmm -static")
else()
  set(ZQ_PC_LIBS "-pthread -ldl")
endif()
set(ZQ_PC_LIBS
    "-Wl,--require-defined=${sym_prefix}zq_hDoInit -Wl,--require-defined=${sym_prefix}zq_hDoExit ${ZQ_PC_LIBS}")

install(TARGETS zqcore EXPORT zqgfxTargets ARCHIVE DESTINATION lib)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/zq DESTINATION include)
install(EXPORT zqgfxTargets NAMESPACE zq:: DESTINATION lib/cmake/zqgfx)

configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/zqgfxConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/zqgfxConfig.cmake
                              INSTALL_DESTINATION lib/cmake/zqgfx)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/zqgfxConfigVersion.cmake
                                 VERSION ${ZQGFX_VERSION} COMPATIBILITY SameMinorVersion)
configure_file(${CMAKE_SOURCE_DIR}/cmake/zqgfx.pc.in ${CMAKE_BINARY_DIR}/zqgfx.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/zqgfxConfig.cmake ${CMAKE_BINARY_DIR}/zqgfxConfigVersion.cmake
        DESTINATION lib/cmake/zqgfx)
install(FILES ${CMAKE_BINARY_DIR}/zqgfx.pc DESTINATION lib/pkgconfig)
