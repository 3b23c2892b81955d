# Cross-built GoogleTest and the helper that declares one Windows test program.
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# tarvel_wine_test(name SOURCES ... [RESOURCES file.rc ...] [LIBS ...])
# A console test program linked with the driver; each GoogleTest case becomes one
# CTest test that runs under Wine.
function(tarvel_wine_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;RESOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${ARG_RESOURCES})
  target_link_libraries(${name} PRIVATE tarvel_driver gtest gtest_main ${ARG_LIBS} ${TARVEL_WINDOWS_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endfunction()
