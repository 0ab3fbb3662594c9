tablo_add_test(trends_engine_test
  SOURCES TrendRig.h TrendDownloadTest.cpp GrfFileTest.cpp
  LIBS tablo_trends)

# tablo-fetch against the controller simulator.
tablo_add_test(trends_fetch_test
  SOURCES FetchTest.cpp
  LIBS tablo_sim tablo_fixture Qt6::Network)
add_dependencies(trends_fetch_test tablo-fetch)
