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
#      PHONELINE_TEST_LAUNCHER (a command and its arguments that the binary runs
#      under, as a list, or empty).
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
  foreach(word IN LISTS PHONELINE_TEST_LAUNCHER)
    string(APPEND launcher "\"${word}\" ")
  endforeach()
  # ctest's limit of an entry sits above the sum of its cases' deadlines
  # (PHONELINE_CASE_TIMEOUT each, read when ctest runs): the suite's process,
  # then each case again apart, each with a step before and after its cases.
  set(body "set(deadline 120)\nif(\"\$ENV{PHONELINE_CASE_TIMEOUT}\" MATCHES \"^[1-9][0-9]*$\")\n  set(deadline \$ENV{PHONELINE_CASE_TIMEOUT})\nendif()\n")
  set(suite "")
  foreach(line IN LISTS lines ITEMS ".")
    if(line MATCHES "^  [^ ]")
      math(EXPR cases "${cases} + 1")
      continue()
    endif()
    if(suite)
      string(APPEND body "add_test(\"${PHONELINE_TEST_NAME}:${suite}\" ${launcher}\"${PHONELINE_TEST_BINARY}\" \"--suite=${suite}\")\n")
      string(APPEND body "math(EXPR limit \"(4 * ${cases} + 3) * \${deadline}\")\n")
      string(APPEND body "set_tests_properties(\"${PHONELINE_TEST_NAME}:${suite}\" PROPERTIES \${PHONELINE_TEST_PROPERTIES} TIMEOUT \${limit})\n")
      set(suite "")
    endif()
    if(line MATCHES "^([^ #][^ ]*)\\.( .*)?$")
      set(suite "${CMAKE_MATCH_1}")
      set(cases 0)
    endif()
  endforeach()
  file(WRITE "${PHONELINE_TEST_LIST}" "${body}")
endif()
if(NOT PHONELINE_LIST_ONLY)
  include("${PHONELINE_TEST_LIST}")
endif()
