# bench_reports: taking one report packet and writing the report workbook.
add_executable(bench_reports ${CMAKE_CURRENT_LIST_DIR}/bench_reports.cpp)
target_link_libraries(bench_reports PRIVATE tablo_reports benchmark::benchmark)
