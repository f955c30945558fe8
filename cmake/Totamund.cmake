# totamund_library(name SOURCES...): one static library per folder, whose
# headers are included by folder path from the repository root
# (#include "platform/rtl/strutils.h").
function(totamund_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# totamund_test(name SOURCES...): one GoogleTest executable, run by ctest.
# Tests find the repository's reference files through TOTAMUND_FIXTURES.
function(totamund_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
      TOTAMUND_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      TOTAMUND_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# totamund_folder_tests(leaf library): the test executable <leaf>_tests of a
# program folder, from its *_test.cpp and *fixture.cpp files, run offscreen
# against the engine library, with the places its pictures and kept files go.
function(totamund_folder_tests leaf library)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  file(GLOB sources CONFIGURE_DEPENDS
      ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*fixture.cpp)
  totamund_test(${leaf}_tests ${sources})
  target_link_libraries(${leaf}_tests PRIVATE ${library} Qt6::Test)
  add_dependencies(${leaf}_tests xbe50)
  target_compile_definitions(${leaf}_tests PRIVATE
      TOTAMUND_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots"
      TOTAMUND_ARTIFACT_DIR="${CMAKE_BINARY_DIR}/artifacts")
endfunction()

# totamund_x11_test(target filter): the named tests of a test executable again under
# an X server (Xvfb), where the window system places, sizes and closes the windows as
# a desktop without a window manager does; only where xvfb-run is installed.
function(totamund_x11_test target filter)
  find_program(XVFB_RUN xvfb-run)
  if(NOT XVFB_RUN)
    return()
  endif()
  add_test(NAME ${target}_x11
      COMMAND ${XVFB_RUN} -a -s "-screen 0 1280x1024x24" $<TARGET_FILE:${target}> --gtest_filter=${filter})
  set_tests_properties(${target}_x11 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb")
endfunction()
