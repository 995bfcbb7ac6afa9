# bc_add_test(NAME SOURCES ... [LIBS ...] [ARGS ...] [RESOURCE_LOCK ...] [TIMEOUT s] [NO_GTEST_MAIN])
# Builds a Win32 test executable into bin/ beside BCSetup.exe and the stand-ins,
# and registers it with CTest; CTest runs it under Wine (the cross emulator).
# Tests that start BCSetup.exe or touch the registry keys of the product or the
# setup manager share the named kernel objects and keys of one Wine prefix, so
# they take the lock "setup_program"; tests that need the screen take "display".
function(bc_add_test name)
  cmake_parse_arguments(T "NO_GTEST_MAIN" "TIMEOUT" "SOURCES;LIBS;ARGS;RESOURCE_LOCK;DEPENDS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} bc_test_support gtest)
  if(NOT T_NO_GTEST_MAIN)
    target_link_libraries(${name} PRIVATE gtest_main)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  add_test(NAME ${name} COMMAND ${name} ${T_ARGS} WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  bc_scale_timeout_when_run(${name} ${T_TIMEOUT})
  if(T_RESOURCE_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
  endif()
endfunction()

# bc_scale_timeout_when_run(TEST SECONDS): where programs run emulated, the
# test scripts set BCSETUP_TIME_SCALE; CTest then allows the test SECONDS
# times that. Decided when CTest reads the tests, not when CMake writes
# them: the same build tree runs natively and emulated.
function(bc_scale_timeout_when_run name seconds)
  set(file ${CMAKE_CURRENT_BINARY_DIR}/scaled_timeouts.cmake)
  get_property(started DIRECTORY PROPERTY BC_SCALED_TIMEOUTS_FILE)
  if(NOT started)
    file(WRITE ${file} "# Written by bc_scale_timeout_when_run; included by CTest.\n")
    set_property(DIRECTORY PROPERTY BC_SCALED_TIMEOUTS_FILE ${file})
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
  endif()
  file(APPEND ${file} "if(\"\$ENV{BCSETUP_TIME_SCALE}\" MATCHES \"^[1-9][0-9]*$\")
  math(EXPR t \"${seconds} * \$ENV{BCSETUP_TIME_SCALE}\")
  set_tests_properties(${name} PROPERTIES TIMEOUT \${t})
endif()
")
endfunction()
