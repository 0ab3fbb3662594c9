# Fuzz targets of the archive readers and answer decoders and of the downloads (included by
# fuzz/CMakeLists.txt after the subsystems).
tablo_fuzz_target(fuzz_trend_image tablo_trends)
tablo_fuzz_target(fuzz_grf_file tablo_trends)
tablo_fuzz_target(fuzz_trend_download tablo_trends tablo_link)
tablo_fuzz_target(fuzz_journal tablo_journal)
tablo_fuzz_target(fuzz_journal_download tablo_journal tablo_link)
tablo_fuzz_target(fuzz_reports tablo_reports)
tablo_fuzz_target(fuzz_report_download tablo_reports tablo_link)
target_compile_definitions(tablo-fuzz-seeds PRIVATE TABLO_FUZZ_TRENDS TABLO_FUZZ_JOURNAL TABLO_FUZZ_REPORTS)
target_link_libraries(tablo-fuzz-seeds PRIVATE tablo_trends tablo_journal tablo_reports)
