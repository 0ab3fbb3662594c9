# export.cmake: the spreadsheet and CSV exports of a trend page (tablo_trends_export).
add_library(tablo_trends_export STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TrendExport.cpp ${CMAKE_CURRENT_LIST_DIR}/TrendExport.h)
target_include_directories(tablo_trends_export PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tablo_trends_export PUBLIC Qt6::Core tablo_sheet tablo_app_core tablo_project)
