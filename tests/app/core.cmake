tablo_add_test(app_core_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/BlockCatalogueTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ColorsTest.cpp
  LIBS tablo_app_core)
