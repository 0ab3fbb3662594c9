tablo_add_test(app_sheet_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SpreadsheetTest.cpp ${CMAKE_CURRENT_LIST_DIR}/TwipsPrinterTest.cpp
  LIBS tablo_sheet tablo_print)
