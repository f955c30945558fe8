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
