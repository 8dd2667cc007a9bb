# Tests that run Windows programs of this build under Wine. They share one
# Wine session per test run (own prefix in the build folder, a virtual
# display, a persistent wineserver), set up and torn down by ctest fixtures.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(LUMAVINE_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LUMAVINE_WINE_LOADER /usr/lib/wine/wine64)
  set(LUMAVINE_WINE_ARCH win64)
else()
  set(LUMAVINE_WINE_LOADER /usr/lib/wine/wine)
  set(LUMAVINE_WINE_ARCH win32)
endif()
file(WRITE ${LUMAVINE_WINE_DIR}/config.sh
  "WINELOADER=${LUMAVINE_WINE_LOADER}\nWINEARCH=${LUMAVINE_WINE_ARCH}\nWINEPREFIX=${LUMAVINE_WINE_DIR}/prefix\n")

set(wine_session ${CMAKE_CURRENT_LIST_DIR}/wine-session.sh)
add_test(NAME wine.session.start COMMAND ${wine_session} start ${LUMAVINE_WINE_DIR} $<TARGET_FILE:lvprobe>)
add_test(NAME wine.session.stop COMMAND ${wine_session} stop ${LUMAVINE_WINE_DIR})
set_tests_properties(wine.session.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)
set_tests_properties(wine.session.stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

function(add_wine_test name)
  add_test(NAME ${name} ${ARGN})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine
    RUN_SERIAL TRUE
    TIMEOUT 300
    ENVIRONMENT "LUMAVINE_WINE_DIR=${LUMAVINE_WINE_DIR};LUMAVINE_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# The probe that looks at and pokes windows from inside the session.
add_executable(lvprobe ${CMAKE_CURRENT_LIST_DIR}/probe/lvprobe.cpp)
target_link_libraries(lvprobe PRIVATE user32 gdi32)

# Each test_*.py drives lumavine.exe through the harness.
file(GLOB wine_driver_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/test_*.py)
foreach(script ${wine_driver_tests})
  get_filename_component(stem ${script} NAME_WE)
  string(REPLACE "test_" "win32." test_name ${stem})
  add_wine_test(${test_name} COMMAND ${Python3_EXECUTABLE} ${script}
    --exe $<TARGET_FILE:lumavine> --probe $<TARGET_FILE:lvprobe>
    --tool $<TARGET_FILE:lumavine-tool> --launcher $<TARGET_FILE:lumavine-launcher>)
endforeach()

# A transition in a real window: the window display and the frame clock's
# timer thread under Wine (transition_window/, transition_window.py).
add_executable(lvtransition ${CMAKE_CURRENT_LIST_DIR}/transition_window/lvtransition.cpp)
target_link_libraries(lvtransition PRIVATE lumavine_core)
add_wine_test(win32.transition_window COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/transition_window.py
  --exe $<TARGET_FILE:lvtransition> --probe $<TARGET_FILE:lvprobe>)
