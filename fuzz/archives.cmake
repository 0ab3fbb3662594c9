# Fuzz targets of the archive readers and answer decoders, built when their libraries are part
# of the tree (included by fuzz/CMakeLists.txt after the subsystems).
if(TARGET tablo_trends)
  tablo_fuzz_target(fuzz_trend_image tablo_trends)
  tablo_fuzz_target(fuzz_grf_file tablo_trends)
  target_compile_definitions(tablo-fuzz-seeds PRIVATE TABLO_FUZZ_TRENDS)
  target_link_libraries(tablo-fuzz-seeds PRIVATE tablo_trends)
endif()
