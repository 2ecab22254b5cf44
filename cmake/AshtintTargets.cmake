# Helpers that keep every subsystem's CMakeLists.txt a few lines long.

# Warnings as errors only in our own targets, never in third-party headers.
function(ashtint_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${ASHTINT_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
      $<$<BOOL:${ASHTINT_WERROR}>:-Werror>)
    # GCC's uninitialised-use analysis gives false alarms on sanitizer-instrumented library code
    # (std::regex, std::function); the ordinary build keeps the warning.
    if(ASHTINT_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
    endif()
  endif()
endfunction()

# Sources of the folder, without the implementation files of other operating systems:
# *_win.cpp is Windows only, *_posix.cpp everything else.
function(ashtint_collect_sources out dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(WIN32)
    list(FILTER srcs EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER srcs EXCLUDE REGEX "_win\\.cpp$")
  endif()
  set(${out} ${srcs} PARENT_SCOPE)
endfunction()

# ashtint_library(<folder> [DEPENDS targets...] [EXCLUDE file names...] [ROOMS subfolders...])
# One static library ashtint_<folder> from the .cpp files of the folder and of its rooms.
function(ashtint_library name)
  cmake_parse_arguments(A "" "" "DEPENDS;EXCLUDE;ROOMS" ${ARGN})
  ashtint_collect_sources(srcs ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(room IN LISTS A_ROOMS)
    ashtint_collect_sources(room_srcs ${CMAKE_CURRENT_SOURCE_DIR}/${room})
    list(APPEND srcs ${room_srcs})
  endforeach()
  foreach(ex IN LISTS A_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "/${ex}$")
  endforeach()
  add_library(ashtint_${name} STATIC ${srcs})
  target_include_directories(ashtint_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/generated)
  target_link_libraries(ashtint_${name} PUBLIC ${A_DEPENDS})
  ashtint_warnings(ashtint_${name})
endfunction()

# ashtint_test(<name> [DEPENDS targets...])
# One GoogleTest executable test_<name> from the folder's *_test.cpp files, registered with CTest.
function(ashtint_test name)
  cmake_parse_arguments(A "" "" "DEPENDS;SOURCES" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT srcs)
    return()  # a test folder whose first test is still being written
  endif()
  add_executable(test_${name} ${srcs} ${A_SOURCES})
  target_link_libraries(test_${name} PRIVATE ${A_DEPENDS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(test_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests
    ${PROJECT_BINARY_DIR}/generated)
  target_compile_definitions(test_${name} PRIVATE
    ASHTINT_SOURCE_DIR="${PROJECT_SOURCE_DIR}" ASHTINT_BINARY_DIR="${PROJECT_BINARY_DIR}")
  ashtint_warnings(test_${name})
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 600)
endfunction()
