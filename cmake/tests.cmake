# GoogleTest: Debian's installed build natively; built from the sources
# Debian ships in /usr/src/googletest for the Windows builds.
if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# One CTest entry per test case natively; under Wine one entry per program,
# so that listing the cases does not start Wine at build time.
function(velumor_add_gtest target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    # A program that hangs fails instead of holding up the run.
    set_tests_properties(${target} PROPERTIES TIMEOUT 300)
  else()
    gtest_discover_tests(${target})
  endif()
endfunction()

if(CMAKE_CROSSCOMPILING)
  # A program that crashes after reporting success, run as every Windows test
  # is: the run ends within seconds (no crash debugger waits) and says which
  # program crashed and how; also where Wine drops the exception because it
  # escaped a window procedure, and the program ends with 0.
  add_executable(wine_crash_probe ${PROJECT_SOURCE_DIR}/tests/wine_crash_probe.cpp)
  set(expect_crash sh ${PROJECT_SOURCE_DIR}/tools/expect-crash.sh)
  add_test(NAME wine_crash_is_reported
           COMMAND ${expect_crash} "ABSTURZ: wine_crash_probe\\.exe: Unhandled[ ]page fault on write access to 0+ "
                   $<TARGET_FILE:wine_crash_probe>)
  add_test(NAME wine_dropped_exception_is_reported
           COMMAND ${expect_crash} "ABSTURZ: wine_crash_probe\\.exe: EXCEPTION_ACCESS_VIOLATION .* in einer Fensterprozedur"
                   $<TARGET_FILE:wine_crash_probe> window)
  set_tests_properties(wine_crash_is_reported wine_dropped_exception_is_reported PROPERTIES TIMEOUT 60)
endif()
