# suite_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# Builds one GoogleTest program and registers its cases with CTest. Every
# case runs offscreen and with a clean simulation setting, so that the
# developer's own HID_SIMULATION never leaks in. The environment is set by
# running the program through env(1), for discovery and for the run alike.
function(suite_add_test name)
  if(NOT SUITE_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  suite_warnings(${name})
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "/usr/bin/env;QT_QPA_PLATFORM=offscreen;HID_SIMULATION=;SUITE_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  include(GoogleTest)
  # Test names are the instance names of parameterised tests, never a dump
  # of the parameter (which CMake would otherwise append).
  gtest_discover_tests(${name}
    NO_PRETTY_VALUES
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    PROPERTIES LABELS "${T_LABELS}"
    DISCOVERY_TIMEOUT 60)
endfunction()
