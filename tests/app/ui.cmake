tablo_add_test(app_logic_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CommandLineTest.cpp
  LIBS tablo_app_logic)
tablo_add_test(app_ui_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ModalWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DesktopOpenTest.cpp ${CMAKE_CURRENT_LIST_DIR}/NoticesTest.cpp
  LIBS tablo_app_ui)
foreach(target app_logic_tests app_ui_tests)
  target_compile_definitions(${target} PRIVATE QT_NO_SIGNALS_SLOTS_KEYWORDS)
endforeach()

# Runs the built program itself.
tablo_add_test(app_cli_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/TabloExecutableTest.cpp
  LIBS Qt6::Core)
add_dependencies(app_cli_tests tablo tablo-fetch tablo-sim)
target_compile_definitions(app_cli_tests PRIVATE TABLO_EXECUTABLE="$<TARGET_FILE:tablo>"
  TABLO_FETCH_EXECUTABLE="$<TARGET_FILE:tablo-fetch>" TABLO_SIM_EXECUTABLE="$<TARGET_FILE:tablo-sim>")
