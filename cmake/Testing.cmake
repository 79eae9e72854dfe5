# phoneline_test(<name> SOURCES <files...> LIBS <targets...> [DATABASE]
#                [OWN_NETWORK <ports...>] [PROPERTIES <ctest properties...>])
# Builds one GoogleTest binary and registers one ctest entry per test suite
# of it. With DATABASE, each entry runs on a copy of the test run's database
# of its own (testsupport/own_database); with OWN_NETWORK, in a network of
# its own where these fixed ports are free (testsupport/own_network). The
# binary's main
# (testsupport/case_runner_main.cpp) runs each suite in a child process of its
# own, so the process-wide module state of the libraries starts clean for each
# suite while the binary starts once.
add_library(phoneline_case_runner STATIC ${PROJECT_SOURCE_DIR}/testsupport/case_runner_main.cpp
  ${PROJECT_SOURCE_DIR}/testsupport/case_child.cpp)
target_link_libraries(phoneline_case_runner PUBLIC GTest::gtest)
target_include_directories(phoneline_case_runner PUBLIC ${PROJECT_SOURCE_DIR}/testsupport)

# The runner's own check: a fixture whose cases leak and crash on purpose.
add_executable(case_runner_fixture ${PROJECT_SOURCE_DIR}/testsupport/runner_check/fixture.cpp)
target_link_libraries(case_runner_fixture PRIVATE GTest::gtest phoneline_case_runner)
if(PHONELINE_SANITIZE)
  add_test(NAME case_runner_check
    COMMAND ${PROJECT_SOURCE_DIR}/testsupport/runner_check/run_check.sh
            $<TARGET_FILE:case_runner_fixture>)
  set_tests_properties(case_runner_check PROPERTIES COST 50)
endif()

set(PHONELINE_SUITES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/PhonelineSuites.cmake)
function(phoneline_test name)
  cmake_parse_arguments(T "DATABASE" "" "SOURCES;LIBS;PROPERTIES;OWN_NETWORK" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock phoneline_case_runner)
  # Linked at a fixed address, a test binary has none of its own relocations
  # to apply when it starts (hundreds of thousands under the sanitizers).
  target_link_options(${name} PRIVATE -no-pie)

  # The suites are listed from the binary itself right after it is linked
  # (so that listing runs in parallel with the rest of the build, not one
  # binary after another when ctest starts); ctest lists again only a binary
  # whose list is missing or older than it.
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_suites_include.cmake)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_suites.cmake)
  set(props ${T_PROPERTIES})
  set(launcher "")
  if(T_OWN_NETWORK)
    string(REPLACE ";" "," ports "${T_OWN_NETWORK}")
    list(APPEND launcher ${PROJECT_SOURCE_DIR}/testsupport/own_network ${ports})
  endif()
  if(T_DATABASE)
    list(APPEND launcher ${PROJECT_SOURCE_DIR}/testsupport/own_database)
    # The database suites are the longest; started first, they do not hold
    # up the end of a run whose ctest has no timings of an earlier one.
    list(APPEND props COST 100)
  endif()
  string(REPLACE ";" " " props "${props}")
  file(GENERATE OUTPUT ${include_file} CONTENT
"set(PHONELINE_TEST_NAME \"${name}\")
set(PHONELINE_TEST_BINARY \"$<TARGET_FILE:${name}>\")
set(PHONELINE_TEST_LIST \"${list_file}\")
set(PHONELINE_TEST_INCLUDE \"${include_file}\")
set(PHONELINE_TEST_PROPERTIES ${props})
set(PHONELINE_TEST_LAUNCHER \"${launcher}\")
include(\"${PHONELINE_SUITES_SCRIPT}\")
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
  if(T_OWN_NETWORK)
    # The whole binary once more while another program listens on its ports
    # in the machine's network: its own network keeps them free.
    add_test(NAME ${name}:BesideBusyPorts
      COMMAND hold_ports ${ports} ${PROJECT_SOURCE_DIR}/testsupport/own_network ${ports} $<TARGET_FILE:${name}>)
    set_tests_properties(${name}:BesideBusyPorts PROPERTIES COST 50 ${T_PROPERTIES})
  endif()
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DPHONELINE_LIST_ONLY=1 -P ${include_file}
    VERBATIM)
endfunction()

# phoneline_tests_per_file(<group> SOURCES <*_test.cpp...> LIBS <targets...>
#                          [DEFINITIONS <compile definitions...>] [DEPENDS <targets...>])
# One test binary per source file, <library>_<stem>_tests for the file
# <stem>_test.cpp, all built by the target <group>. The large libraries' tests
# are split this way because a case's process pays for its whole binary: the
# loader's relocations at start and the leak check's scan of its data at exit
# grow with every test file linked in.
function(phoneline_tests_per_file group)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;DEFINITIONS;DEPENDS" ${ARGN})
  string(REGEX REPLACE "_tests$" "" library ${group})
  add_custom_target(${group})
  foreach(src IN LISTS T_SOURCES)
    get_filename_component(stem ${src} NAME_WE)
    string(REGEX REPLACE "_test$" "" stem ${stem})
    set(name ${library}_${stem}_tests)
    phoneline_test(${name} SOURCES ${src} LIBS ${T_LIBS})
    if(T_DEFINITIONS)
      target_compile_definitions(${name} PRIVATE ${T_DEFINITIONS})
    endif()
    if(T_DEPENDS)
      add_dependencies(${name} ${T_DEPENDS})
    endif()
    add_dependencies(${group} ${name})
  endforeach()
endfunction()

# A program that listens on ports while a command runs (the check of
# OWN_NETWORK above).
add_executable(hold_ports ${PROJECT_SOURCE_DIR}/testsupport/hold_ports.cpp)

# phoneline_exports_test(<library target> <name>...): a test that the
# library's dynamic symbol table defines exactly these names.
add_executable(exports_check ${PROJECT_SOURCE_DIR}/testsupport/exports_main.cpp)
target_include_directories(exports_check PRIVATE ${PROJECT_SOURCE_DIR}/testsupport)
function(phoneline_exports_test lib)
  add_test(NAME ${lib}_exports COMMAND exports_check $<TARGET_FILE:${lib}> ${ARGN})
endfunction()
