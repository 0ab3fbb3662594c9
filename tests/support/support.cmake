# tablo_test_support: writers of project and netlist files and a recording project view/host,
# shared by the tests, the benchmarks and the demo generator.
if(NOT TARGET tablo_test_support)
  add_library(tablo_test_support STATIC
    ${CMAKE_CURRENT_LIST_DIR}/PrtWriter.cpp ${CMAKE_CURRENT_LIST_DIR}/PrtWriter.h
    ${CMAKE_CURRENT_LIST_DIR}/NetWriter.cpp ${CMAKE_CURRENT_LIST_DIR}/NetWriter.h
    ${CMAKE_CURRENT_LIST_DIR}/RecordingLoad.cpp ${CMAKE_CURRENT_LIST_DIR}/RecordingLoad.h)
  target_link_libraries(tablo_test_support PUBLIC Qt6::Core Qt6::Gui tablo_project tablo_text)
  target_include_directories(tablo_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
endif()
