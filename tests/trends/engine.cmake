tablo_add_test(trends_engine_test
  SOURCES TrendRig.h TrendDownloadTest.cpp GrfFileTest.cpp
  LIBS tablo_trends)
