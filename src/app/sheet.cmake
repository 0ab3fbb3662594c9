# sheet.cmake: the spreadsheet layer of the archive exports (tablo_sheet), widget-free; the
# workbook is written with libxlsxwriter.
find_package(PkgConfig REQUIRED)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
find_package(ZLIB REQUIRED)
add_library(tablo_sheet STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Spreadsheet.cpp ${CMAKE_CURRENT_LIST_DIR}/Spreadsheet.h)
target_include_directories(tablo_sheet PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tablo_sheet PUBLIC Qt6::Core Qt6::Gui tablo_app_core tablo_text PRIVATE PkgConfig::XLSXWRITER ZLIB::ZLIB)
