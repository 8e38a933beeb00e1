# Helpers shared by every folder's CMakeLists.txt.
#
# tessary_library(<name> [DEPS <targets...>])
#   A static library from the .cpp files of the calling folder. Headers are included by their
#   path from the source root ("platform/os/clock.h"), so the root is the include directory.
#
# tessary_test(<name> [DEPS <targets...>])
#   A GoogleTest binary from the .cpp files of the calling folder, registered with CTest.
#
# tessary_fuzzers(<library> <target...>)
#   libFuzzer programs <target>.cpp of the calling folder over <library>, which is instrumented
#   for them; clang only (scripts/fuzz.sh builds and runs them).

function(tessary_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    # A folder that holds only headers so far.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

function(tessary_test name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  find_package(GTest REQUIRED)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} test_support GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "TESSARY_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

function(tessary_fuzzers library)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TESSARY_FUZZ needs clang (CMAKE_CXX_COMPILER=clang++)")
  endif()
  target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link)
  foreach(target ${ARGN})
    add_executable(${target} ${CMAKE_CURRENT_SOURCE_DIR}/${target}.cpp)
    target_link_libraries(${target} PRIVATE ${library})
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endforeach()
endfunction()

# tessary_embed_files(<target> <function> FILES <files...>)
#   Builds the files into <target> as RCDATA resources named after their file names without
#   extension. The generated `void <function>()` (a name with its namespace) registers them;
#   callers call it before looking them up, which also keeps the linker from dropping the data.
function(tessary_embed_files target function)
  cmake_parse_arguments(ARG "" "" "FILES" ${ARGN})
  string(MAKE_C_IDENTIFIER ${function} stem)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${stem}.cpp)
  string(REPLACE ";" "|" files "${ARG_FILES}")
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${out} -DFUNCTION=${function} -DFILES=${files}
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake
    DEPENDS ${ARG_FILES} ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake
    COMMENT "Embedding ${function}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
