# Flags and helpers shared by every target.

# Every double operation must be a separately rounded IEEE operation: no
# contraction into FMA and no fast-math anywhere in the process.
set(LORIMANT_COMMON_FLAGS -ffp-contract=off -fno-fast-math -Wall -Wextra)

# Line tables (-g1) are all a sanitizer report needs for its stack traces;
# full debug information makes the test build a third slower to compile.
if(LORIMANT_SANITIZE)
  set(LORIMANT_SAN_FLAGS -O1 -g1 -fno-omit-frame-pointer
      -fsanitize=address,undefined -fno-sanitize-recover=undefined)
  add_compile_options(${LORIMANT_SAN_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()

# Applies the project's flags and the repository root as include directory.
function(lorimant_target target)
  target_compile_options(${target} PRIVATE ${LORIMANT_COMMON_FLAGS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# Collects the sources of the given folders (relative to the current source
# directory). An empty collection gets a generated empty file so the target
# can still be built.
function(lorimant_sources out)
  set(files)
  foreach(dir ${ARGN})
    file(GLOB found CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c)
    list(APPEND files ${found})
  endforeach()
  if(NOT files)
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/empty_${out}.cpp)
    if(NOT EXISTS ${stub})
      file(WRITE ${stub} "// no sources yet\n")
    endif()
    list(APPEND files ${stub})
  endif()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# Builds the GoogleTest executable of one library from tests/*.cpp and
# registers it with CTest: the Gui* suites as one test (label "gui"), the
# Interop* suites as one (label "interop") and all others in
# LORIMANT_TEST_SHARDS shards (label "unit"). Whole shards rather than one
# process per test: starting a sanitized process costs far more than most
# tests do, and one process per test made the run twenty times longer.
option(LORIMANT_UNITY_TESTS "Compile each test executable's files in batches" ON)
set(LORIMANT_UNITY_BATCH 8 CACHE STRING "Test files per batch")
set(LORIMANT_TEST_SHARDS 4 CACHE STRING "Processes each test executable's unit tests are split over")
function(lorimant_tests name)
  if(NOT LORIMANT_TESTS)
    return()
  endif()
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  # Every test executable also checks that it was compiled with the
  # project's floating-point flags.
  add_executable(${name} ${test_sources} ${PROJECT_SOURCE_DIR}/cmake/test_build_flags.cpp)
  lorimant_target(${name})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
      LORIMANT_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
  # Test files compile in batches: each file alone spends most of its time
  # on the same GoogleTest, GoogleMock and library headers. A file-scope
  # name that two files of a batch both define is a compile error, so a
  # clash cannot pass unseen.
  if(LORIMANT_UNITY_TESTS)
    lorimant_unity_batches(${name} ${test_sources})
  endif()
  # Test code itself runs little: compiled without optimisation it builds
  # in about half the time, while the libraries under test keep -O1. The
  # floating-point flag check keeps -O1, where contraction could happen.
  if(LORIMANT_SANITIZE)
    target_compile_options(${name} PRIVATE -O0)
    set_source_files_properties(${PROJECT_SOURCE_DIR}/cmake/test_build_flags.cpp
        PROPERTIES COMPILE_OPTIONS -O1)
    # A speed test checks a fast path against a plain scan in its own code
    # over many inputs: unoptimised, that scan would make the run the cost.
    set(speed_tests ${test_sources})
    list(FILTER speed_tests INCLUDE REGEX "speed[^/]*\\.cpp$")
    if(speed_tests)
      set_source_files_properties(${speed_tests} PROPERTIES COMPILE_OPTIONS -O1)
    endif()
  endif()
  # Leaks inside system libraries are reported by none of our tests. The
  # software renderer draws in the calling thread: its helper threads give
  # the same pixels and only add CPU time under the sanitizers.
  set(env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tools/lsan.supp;LP_NUM_THREADS=0")
  math(EXPR last "${LORIMANT_TEST_SHARDS} - 1")
  foreach(i RANGE ${last})
    add_test(NAME ${name}.unit.${i} COMMAND ${name} --gtest_filter=-Gui*:Interop*)
    set_tests_properties(${name}.unit.${i} PROPERTIES LABELS unit TIMEOUT 900 ENVIRONMENT
        "${env};GTEST_TOTAL_SHARDS=${LORIMANT_TEST_SHARDS};GTEST_SHARD_INDEX=${i}")
  endforeach()
  add_test(NAME ${name}.gui COMMAND ${name} --gtest_filter=Gui*)
  add_test(NAME ${name}.interop COMMAND ${name} --gtest_filter=Interop*)
  set_tests_properties(${name}.interop PROPERTIES LABELS interop TIMEOUT 900 ENVIRONMENT "${env}")
  # The window tests share one X display and are timing-sensitive under
  # load: they run alone, a few seconds in all.
  set_tests_properties(${name}.gui PROPERTIES LABELS gui TIMEOUT 900 ENVIRONMENT "${env}" RUN_SERIAL TRUE)
endfunction()

# Registers tests of the executable name that are kept disabled because
# they show a limit of the program at magnitudes or budgets users do not
# reach (each test's comment says which): each runs as its own CTest entry
# with --gtest_also_run_disabled_tests and is expected to fail, so that a
# change of behaviour shows (the limit lifted, or a test renamed so that
# the filter finds nothing, both turn the entry red).
function(lorimant_limit_tests name)
  if(NOT LORIMANT_TESTS)
    return()
  endif()
  set(env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tools/lsan.supp;LP_NUM_THREADS=0")
  foreach(test ${ARGN})
    string(REGEX REPLACE "^.*\\.DISABLED_" "" short ${test})
    add_test(NAME ${name}.limit.${short}
             COMMAND ${name} --gtest_also_run_disabled_tests --gtest_filter=${test})
    set_tests_properties(${name}.limit.${short} PROPERTIES LABELS limit WILL_FAIL TRUE TIMEOUT 300
                         ENVIRONMENT "${env}")
  endforeach()
endfunction()

# Puts the test files of target in batches of at most LORIMANT_UNITY_BATCH
# that are compiled as one translation unit each. A file's file-scope
# `using` directives, declarations and aliases and its namespace aliases
# reach every file after it in its batch, so only files with the same such
# lines share a batch.
# Anonymous-namespace helpers of one batch share one namespace: two files
# that define the same helper fail to compile together, never silently.
function(lorimant_unity_batches target)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
  target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
  foreach(source ${ARGN})
    file(STRINGS ${source} lines REGEX "^(using (namespace [A-Za-z_:]+|[A-Za-z_:]+;|[A-Za-z_]+ =)|namespace [A-Za-z_]+ =)")
    string(MD5 key "${lines}")
    string(SUBSTRING ${key} 0 8 key)
    if(NOT DEFINED count_${key})
      set(count_${key} 0)
    endif()
    math(EXPR batch "${count_${key}} / ${LORIMANT_UNITY_BATCH}")
    math(EXPR count_${key} "${count_${key}} + 1")
    set_source_files_properties(${source} TARGET_DIRECTORY ${target}
        PROPERTIES UNITY_GROUP "${key}_${batch}")
  endforeach()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/Fuzz.cmake)
