# Lists the test suites of one test binary and registers one ctest entry
# "<binary>:<suite>" per suite. Run as a script right after the binary is
# linked (PHONELINE_LIST_ONLY: only the list is written), and included by
# ctest through the TEST_INCLUDE_FILES of the binary's folder. The suites are
# read from the binary's --gtest_list_tests and cached in PHONELINE_TEST_LIST
# until the binary or its settings change.
#
# In:  PHONELINE_TEST_NAME, PHONELINE_TEST_BINARY, PHONELINE_TEST_LIST,
#      PHONELINE_TEST_INCLUDE (the file that sets these),
#      PHONELINE_TEST_PROPERTIES (a list of ctest property/value pairs),
#      PHONELINE_TEST_LAUNCHER (a command the binary runs under, or empty).
if(NOT EXISTS "${PHONELINE_TEST_BINARY}")
  if(NOT PHONELINE_LIST_ONLY)
    add_test("${PHONELINE_TEST_NAME}:NOT_BUILT" "${PHONELINE_TEST_BINARY}")
  endif()
  return()
endif()

if(NOT EXISTS "${PHONELINE_TEST_LIST}" OR
   "${PHONELINE_TEST_BINARY}" IS_NEWER_THAN "${PHONELINE_TEST_LIST}" OR
   "${PHONELINE_TEST_INCLUDE}" IS_NEWER_THAN "${PHONELINE_TEST_LIST}" OR
   "${CMAKE_CURRENT_LIST_FILE}" IS_NEWER_THAN "${PHONELINE_TEST_LIST}")
  execute_process(COMMAND "${PHONELINE_TEST_BINARY}" --gtest_list_tests
    OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE rc
    TIMEOUT 120)
  if(NOT rc EQUAL 0)
    message(WARNING "${PHONELINE_TEST_BINARY} --gtest_list_tests failed (${rc}): ${errors}")
    file(REMOVE "${PHONELINE_TEST_LIST}")
    if(NOT PHONELINE_LIST_ONLY)
      add_test("${PHONELINE_TEST_NAME}:NOT_LISTED" "${PHONELINE_TEST_BINARY}" --gtest_list_tests)
    endif()
    return()
  endif()
  # A suite line starts in column 0 and ends in '.', possibly followed by
  # "  # TypeParam = ..."; case lines are indented.
  string(REPLACE "\n" ";" lines "${listing}")
  set(body "")
  set(launcher "")
  if(PHONELINE_TEST_LAUNCHER)
    set(launcher "\"${PHONELINE_TEST_LAUNCHER}\" ")
  endif()
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ #][^ ]*)\\.( .*)?$")
      set(suite "${CMAKE_MATCH_1}")
      string(APPEND body "add_test(\"${PHONELINE_TEST_NAME}:${suite}\" ${launcher}\"${PHONELINE_TEST_BINARY}\" \"--suite=${suite}\")\n")
      string(APPEND body "set_tests_properties(\"${PHONELINE_TEST_NAME}:${suite}\" PROPERTIES \${PHONELINE_TEST_PROPERTIES})\n")
    endif()
  endforeach()
  file(WRITE "${PHONELINE_TEST_LIST}" "${body}")
endif()
if(NOT PHONELINE_LIST_ONLY)
  include("${PHONELINE_TEST_LIST}")
endif()
