# bench_link: cost of the polling cycle's ticks against a scripted link.
add_executable(bench_link ${CMAKE_CURRENT_LIST_DIR}/LinkBench.cpp)
target_link_libraries(bench_link PRIVATE tablo_link benchmark::benchmark)
