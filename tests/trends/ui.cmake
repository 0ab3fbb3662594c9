# The chart painter and navigation (widget-free), the trend window and its dialogs.
find_package(Qt6 REQUIRED COMPONENTS Test)
tablo_add_test(trends_ui_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrendChartTest.cpp ${CMAKE_CURRENT_LIST_DIR}/TrendWindowTest.cpp
  LIBS tablo_trends_ui Qt6::Test)
