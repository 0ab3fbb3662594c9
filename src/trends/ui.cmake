# The chart painter, widget-free so that the headless fetch program can print a chart too
# (tablo_trends_chart), and the trend window with its dialogs (tablo_trends_ui).
add_library(tablo_trends_chart STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TrendChart.cpp ${CMAKE_CURRENT_LIST_DIR}/TrendChart.h
  ${CMAKE_CURRENT_LIST_DIR}/TrendNavigation.cpp ${CMAKE_CURRENT_LIST_DIR}/TrendNavigation.h
  ${CMAKE_CURRENT_LIST_DIR}/TrendReadout.cpp ${CMAKE_CURRENT_LIST_DIR}/TrendReadout.h)
target_include_directories(tablo_trends_chart PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tablo_trends_chart PUBLIC Qt6::Gui tablo_app_core tablo_text tablo_print)

add_library(tablo_trends_ui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/GRAFIK_sheet.cpp ${CMAKE_CURRENT_LIST_DIR}/GRAFIK_sheet.h
  ${CMAKE_CURRENT_LIST_DIR}/TrendDialogs.cpp ${CMAKE_CURRENT_LIST_DIR}/TrendDialogs.h)
target_include_directories(tablo_trends_ui PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tablo_trends_ui PUBLIC
  tablo_trends_chart tablo_trends tablo_trends_export tablo_app_ui Qt6::Widgets Qt6::PrintSupport)
