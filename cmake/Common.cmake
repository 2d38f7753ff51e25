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
# registers its tests with CTest. Suites named Gui* get the label "gui",
# suites named Interop* the label "interop", all others "unit".
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
  # Leaks inside system libraries are reported by none of our tests.
  set(env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tools/lsan.supp")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_PREFIX "${name}."
      TEST_FILTER "-Gui*:Interop*" PROPERTIES LABELS unit TIMEOUT 600 ENVIRONMENT "${env}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_PREFIX "${name}."
      TEST_FILTER "Gui*" PROPERTIES LABELS gui TIMEOUT 600 ENVIRONMENT "${env}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_PREFIX "${name}."
      TEST_FILTER "Interop*" PROPERTIES LABELS interop TIMEOUT 600 ENVIRONMENT "${env}")
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/Fuzz.cmake)
