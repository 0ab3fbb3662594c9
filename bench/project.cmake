# bench_project: reading a full-size project with its netlist (file reading, model filling,
# netlist import; the page elements go to a counting view).
add_executable(bench_project ${CMAKE_CURRENT_LIST_DIR}/ProjectBench.cpp)
target_link_libraries(bench_project PRIVATE tablo_project tablo_fixture benchmark::benchmark)
