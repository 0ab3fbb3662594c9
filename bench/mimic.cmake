# bench_mimic: creating every widget of a full-size project (every slot of every kind on the
# eight pages, with the real display controls) and one Timer_Vent tick on a page of machinery.
add_executable(bench_mimic ${CMAKE_CURRENT_LIST_DIR}/MimicBench.cpp)
target_link_libraries(bench_mimic PRIVATE tablo_mimic tablo_fixture tablo_control_host benchmark::benchmark)
add_dependencies(bench_mimic tablo_signal_control tablo_contour_control)
