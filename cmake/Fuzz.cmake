# Fuzz targets. A library keeps them in <lib>/fuzz/fuzz_<name>.cpp, each
# defining LLVMFuzzerTestOneInput; the seed inputs are in
# <lib>/fuzz/corpus/<name>/ and saved reproducers in <lib>/fuzz/crashes/<name>/.
#
# The normal test build turns every target into a replay executable that
# runs the function once over each seed and reproducer, as an ordinary CTest
# test under the sanitizers. With LORIMANT_FUZZ=ON (clang only) the whole
# build is instrumented for libFuzzer and the targets become fuzzers; the
# list of fuzzers and their corpora goes to fuzz_targets.txt in the build
# folder, which tools/run-fuzz reads.

option(LORIMANT_FUZZ "Build the fuzz targets as libFuzzer executables (clang)" OFF)

set(LORIMANT_FUZZ_LIST ${CMAKE_BINARY_DIR}/fuzz_targets.txt)

if(LORIMANT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "LORIMANT_FUZZ needs clang (libFuzzer)")
  endif()
  # Coverage instrumentation everywhere; libFuzzer's own main is linked
  # into the fuzz executables only.
  add_compile_options(-O1 -g -fno-omit-frame-pointer
      -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  file(WRITE ${LORIMANT_FUZZ_LIST} "")
  if(NOT TARGET fuzz_all)
    add_custom_target(fuzz_all)
  endif()
endif()

# Builds the fuzz targets of the current folder's fuzz/ against the library
# (and any further libraries given): fuzzers in a fuzz build, replay tests
# in a test build. Executables are named <folder>_fuzz_<name>.
function(lorimant_fuzz_targets library)
  file(GLOB fuzz_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/fuzz_*.cpp)
  get_filename_component(lib ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  foreach(src ${fuzz_sources})
    get_filename_component(stem ${src} NAME_WE)
    string(REGEX REPLACE "^fuzz_" "" name ${stem})
    set(exe ${lib}_fuzz_${name})
    set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${name})
    set(crashes ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/crashes/${name})
    if(LORIMANT_FUZZ)
      add_executable(${exe} ${src})
      target_link_options(${exe} PRIVATE -fsanitize=fuzzer)
      add_dependencies(fuzz_all ${exe})
      file(APPEND ${LORIMANT_FUZZ_LIST}
           "${CMAKE_CURRENT_BINARY_DIR}/${exe}\t${corpus}\t${crashes}\n")
    elseif(LORIMANT_TESTS)
      add_executable(${exe} ${src} ${PROJECT_SOURCE_DIR}/cmake/fuzz_replay_main.cpp)
      add_test(NAME ${exe} COMMAND ${exe} ${corpus} ${crashes})
      set_tests_properties(${exe} PROPERTIES LABELS unit TIMEOUT 600
          ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tools/lsan.supp;LP_NUM_THREADS=0")
    else()
      continue()
    endif()
    lorimant_target(${exe})
    target_link_libraries(${exe} PRIVATE ${library} ${ARGN})
  endforeach()
endfunction()
