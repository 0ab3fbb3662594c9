# bench_mimic: creating every widget of a full-size project (every slot of every kind on the
# eight pages, with the real display controls) and one Timer_Vent tick on a page of machinery.
add_executable(bench_mimic ${CMAKE_CURRENT_LIST_DIR}/MimicBench.cpp
  ${CMAKE_SOURCE_DIR}/tests/mimic/MimicFixtures.cpp)
target_include_directories(bench_mimic PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(bench_mimic PRIVATE tablo_mimic tablo_control_host benchmark::benchmark)
add_dependencies(bench_mimic tablo_signal_control tablo_contour_control)
