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
