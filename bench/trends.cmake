# bench_trends: decoding a trend page and writing and reading its .grf file.
add_executable(bench_trends ${CMAKE_CURRENT_LIST_DIR}/TrendsBench.cpp)
target_link_libraries(bench_trends PRIVATE tablo_trends benchmark::benchmark)
# bench_trend_chart: decoding a page and drawing the whole chart, as the window does.
add_executable(bench_trend_chart ${CMAKE_CURRENT_LIST_DIR}/TrendChartBench.cpp)
target_link_libraries(bench_trend_chart PRIVATE tablo_trends_chart tablo_trends benchmark::benchmark)
