# tablo_trends: the trend download engine, its image decoder and the .grf trend file.
add_library(tablo_trends STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TrendState.h ${CMAKE_CURRENT_LIST_DIR}/TrendStation.h
  ${CMAKE_CURRENT_LIST_DIR}/TrendImage.cpp ${CMAKE_CURRENT_LIST_DIR}/TrendImage.h
  ${CMAKE_CURRENT_LIST_DIR}/TrendDownload.cpp ${CMAKE_CURRENT_LIST_DIR}/TrendDownload.h
  ${CMAKE_CURRENT_LIST_DIR}/TrendFastProbe.cpp ${CMAKE_CURRENT_LIST_DIR}/TrendFastProbe.h
  ${CMAKE_CURRENT_LIST_DIR}/GrfFile.cpp ${CMAKE_CURRENT_LIST_DIR}/GrfFile.h)
target_include_directories(tablo_trends PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tablo_trends PUBLIC Qt6::Core tablo_link tablo_app_core tablo_text)
