tablo_add_test(trends_export_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrendExportTest.cpp
  LIBS tablo_trends_export)
