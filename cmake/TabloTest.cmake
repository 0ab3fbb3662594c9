# tablo_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest binary; its cases are discovered at test time and run offscreen, with
# TABLO_BUILD_DIR, TABLO_PLUGIN_PATH and TABLO_SOURCE_DIR in their environment.
function(tablo_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/TestEnvironment.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TABLO_TEST_BUILD_DIR="${CMAKE_BINARY_DIR}" TABLO_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               TIMEOUT 120)
endfunction()
