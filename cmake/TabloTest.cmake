# tablo_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest binary; its cases are discovered at test time, run offscreen.
function(tablo_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TABLO_PLUGIN_PATH=${CMAKE_BINARY_DIR};TABLO_BUILD_DIR=${CMAKE_BINARY_DIR};TABLO_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
               TIMEOUT 120)
endfunction()
