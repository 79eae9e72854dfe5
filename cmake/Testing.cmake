# phoneline_test(<name> SOURCES <files...> LIBS <targets...>)
# Builds one GoogleTest binary and registers each of its test cases with
# ctest. Every case then runs in a process of its own, so the process-wide
# module state of the libraries starts clean for each case.
function(phoneline_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/testsupport)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120 ${T_PROPERTIES})
endfunction()

# phoneline_exports_test(<library target> <name>...): a test that the
# library's dynamic symbol table defines exactly these names.
add_executable(exports_check ${CMAKE_CURRENT_LIST_DIR}/testsupport/exports_main.cpp)
target_include_directories(exports_check PRIVATE ${CMAKE_CURRENT_LIST_DIR}/testsupport)
function(phoneline_exports_test lib)
  add_test(NAME ${lib}_exports COMMAND exports_check $<TARGET_FILE:${lib}> ${ARGN})
endfunction()
