# Helpers shared by the module folders.

# lumatag_module(NAME SOURCES... DEPENDS libs...): one static library per module folder.
function(lumatag_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(lumatag_${name} STATIC ${M_SOURCES})
  target_include_directories(lumatag_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(lumatag_${name} PUBLIC ${M_DEPENDS})
endfunction()

# lumatag_test(NAME SOURCES... DEPENDS libs...): one GoogleTest program per module, run by CTest.
function(lumatag_test name)
  cmake_parse_arguments(T "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(test_${name} ${T_SOURCES})
  target_link_libraries(test_${name} PRIVATE ${T_DEPENDS} lumatag_testsupport GTest::gmock)
  set_target_properties(test_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()
