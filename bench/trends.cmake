# bench_trends: decoding a trend page and writing and reading its .grf file.
add_executable(bench_trends ${CMAKE_CURRENT_LIST_DIR}/TrendsBench.cpp)
target_link_libraries(bench_trends PRIVATE tablo_trends benchmark::benchmark)
