# bench_sim: the simulator's cost per answer and per plant step.
add_executable(bench_sim ${CMAKE_CURRENT_LIST_DIR}/SimBench.cpp)
target_link_libraries(bench_sim PRIVATE tablo_sim benchmark::benchmark)
