# The command line, and the widgets every window shares.
add_library(tablo_app_logic STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp ${CMAKE_CURRENT_LIST_DIR}/CommandLine.h)
target_include_directories(tablo_app_logic PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tablo_app_logic PUBLIC Qt6::Core tablo_app_core)

add_library(tablo_app_ui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ModalWindow.cpp ${CMAKE_CURRENT_LIST_DIR}/ModalWindow.h
  ${CMAKE_CURRENT_LIST_DIR}/Notices.cpp ${CMAKE_CURRENT_LIST_DIR}/Notices.h
  ${CMAKE_CURRENT_LIST_DIR}/DesktopOpen.cpp ${CMAKE_CURRENT_LIST_DIR}/DesktopOpen.h
  ${CMAKE_CURRENT_LIST_DIR}/Logo.cpp ${CMAKE_CURRENT_LIST_DIR}/Logo.h
  ${CMAKE_CURRENT_LIST_DIR}/FileDialogs.cpp ${CMAKE_CURRENT_LIST_DIR}/FileDialogs.h)
target_include_directories(tablo_app_ui PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tablo_app_ui PUBLIC Qt6::Widgets Qt6::PrintSupport tablo_app_logic)

# The project model has a member named `signals`, which Qt's keyword macros would rewrite.
foreach(target tablo_app_logic tablo_app_ui)
  target_compile_definitions(${target} PRIVATE QT_NO_SIGNALS_SLOTS_KEYWORDS)
endforeach()

