# tablo_add_display_control(<target> OUTPUT_NAME <name> SOURCES ...)
# A display-control plugin: a Qt plugin module linked only against Qt, built into the build
# folder root as lib<name>.so next to the program. The helpers of controls/common are compiled
# into each plugin; symbols stay hidden so two plugins in one process never share them.
set(TABLO_CONTROLS_COMMON_DIR ${CMAKE_CURRENT_LIST_DIR})

function(tablo_add_display_control target)
  cmake_parse_arguments(C "" "OUTPUT_NAME" "SOURCES" ${ARGN})
  add_library(${target} MODULE
    ${C_SOURCES}
    ${TABLO_CONTROLS_COMMON_DIR}/DisplayControl.h
    ${TABLO_CONTROLS_COMMON_DIR}/ColorValue.h
    ${TABLO_CONTROLS_COMMON_DIR}/Borders.h
    ${TABLO_CONTROLS_COMMON_DIR}/ChangeMarks.h
    ${TABLO_CONTROLS_COMMON_DIR}/ControlWidget.h
    ${TABLO_CONTROLS_COMMON_DIR}/ControlWidget.cpp
    ${TABLO_CONTROLS_COMMON_DIR}/MouseLayer.h
    ${TABLO_CONTROLS_COMMON_DIR}/MouseLayer.cpp)
  target_link_libraries(${target} PRIVATE Qt6::Core Qt6::Gui Qt6::Widgets)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${C_OUTPUT_NAME}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()
