# suite_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>]
#                [PROPERTIES <test properties...>])
# Builds one GoogleTest program and registers its cases with CTest. Every
# case runs offscreen and with a clean simulation setting, so that the
# developer's own HID_SIMULATION never leaks in. The environment is set by
# running the program through env(1), for discovery and for the run alike.
function(suite_add_test name)
  if(NOT SUITE_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  suite_warnings(${name})
  # A cross build runs its tests through CMAKE_CROSSCOMPILING_EMULATOR (Wine);
  # without one (Windows x86 here) the tests are built and not registered.
  if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    return()
  endif()
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "/usr/bin/env;QT_QPA_PLATFORM=offscreen;HID_SIMULATION=;SUITE_SOURCE_DIR=${CMAKE_SOURCE_DIR};${CMAKE_CROSSCOMPILING_EMULATOR}")
  if(CMAKE_CROSSCOMPILING)
    # One CTest test per program: every start of the emulator costs seconds.
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}" ${T_PROPERTIES})
    return()
  endif()
  include(GoogleTest)
  # Test names are the instance names of parameterised tests, never a dump
  # of the parameter (which CMake would otherwise append).
  gtest_discover_tests(${name}
    NO_PRETTY_VALUES
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    PROPERTIES LABELS "${T_LABELS}" ${T_PROPERTIES}
    DISCOVERY_TIMEOUT 120)
endfunction()

# suite_add_no_desktop_test(<program target>)
# Starts a Qt program with no display named (tools/check-no-desktop.sh): it
# must say so in one line and exit with status 1, not abort inside Qt.
function(suite_add_no_desktop_test target)
  if(NOT SUITE_TESTS OR CMAKE_CROSSCOMPILING)
    return()
  endif()
  add_test(NAME ${target}_without_desktop
           COMMAND ${PROJECT_SOURCE_DIR}/tools/check-no-desktop.sh $<TARGET_FILE:${target}>)
  set_tests_properties(${target}_without_desktop PROPERTIES TIMEOUT 60)
endfunction()
