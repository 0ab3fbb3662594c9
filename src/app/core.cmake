add_library(tablo_app_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/BlockCatalogue.cpp ${CMAKE_CURRENT_LIST_DIR}/BlockCatalogue.h
  ${CMAKE_CURRENT_LIST_DIR}/Colors.cpp ${CMAKE_CURRENT_LIST_DIR}/Colors.h
  ${CMAKE_CURRENT_LIST_DIR}/InstallPaths.cpp ${CMAKE_CURRENT_LIST_DIR}/InstallPaths.h
  ${CMAKE_CURRENT_LIST_DIR}/Clock.cpp ${CMAKE_CURRENT_LIST_DIR}/Clock.h
  ${CMAKE_CURRENT_LIST_DIR}/StationPart.h
  ${CMAKE_CURRENT_LIST_DIR}/Blocks.h ${CMAKE_CURRENT_LIST_DIR}/Pages.h ${CMAKE_CURRENT_LIST_DIR}/Messages.h)
target_include_directories(tablo_app_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tablo_app_core PUBLIC Qt6::Core Qt6::Gui tablo_text)
# Where an installed program finds its data, relative to its own folder.
target_compile_definitions(tablo_app_core PRIVATE TABLO_DATA_RELDIR="${TABLO_DATA_INSTALL_DIR}")
