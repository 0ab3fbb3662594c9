# bench_history: storing a trend page, reducing a month of one group for drawing, and the size
# of a month of 8 groups in the history file.
add_executable(bench_history ${CMAKE_CURRENT_LIST_DIR}/HistoryBench.cpp)
target_link_libraries(bench_history PRIVATE tablo_history benchmark::benchmark)
