# print.cmake: printing in twips from the page's printable origin and PDF files written whole
# (tablo_print), widget-free.
add_library(tablo_print STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TwipsPrinter.cpp ${CMAKE_CURRENT_LIST_DIR}/TwipsPrinter.h
  ${CMAKE_CURRENT_LIST_DIR}/PdfFile.cpp ${CMAKE_CURRENT_LIST_DIR}/PdfFile.h)
target_include_directories(tablo_print PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tablo_print PUBLIC Qt6::Core Qt6::Gui Qt6::PrintSupport tablo_app_core tablo_text)
