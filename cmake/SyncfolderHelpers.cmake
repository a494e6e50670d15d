# Build helpers shared by every subsystem.
#
#   SF_WINDOWS  the MinGW-w64 cross build (or MSYS2): the program and the Win32 code
#   SF_HOST     the native build: pure and portable code only, with sanitizers

if(WIN32)
  set(SF_WINDOWS ON)
  set(SF_HOST OFF)
else()
  set(SF_WINDOWS OFF)
  set(SF_HOST ON)
endif()

option(SF_SANITIZE "Native build: AddressSanitizer and UndefinedBehaviorSanitizer" ON)
option(SF_WERROR "Treat warnings in our own code as errors" OFF)

set(SF_RESULTS_DIR "${CMAKE_BINARY_DIR}/test-results")
set(SF_SCREENSHOT_DIR "${CMAKE_BINARY_DIR}/screenshots")

# Warnings and source character set for our own targets.
function(sf_enable_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow
    $<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8 -fexec-charset=UTF-8>)
  if(SF_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(SF_WINDOWS)
    # Windows 7 SP1 is the oldest system the program runs on: the headers then declare
    # nothing newer, which is reached through common/newerapi.h only.
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
      _WIN32_WINNT=0x0601 WINVER=0x0601)
  endif()
endfunction()

# Sanitizers of the native build: "default" (address + undefined, when SF_SANITIZE),
# "thread", or "none".
function(sf_sanitize target kind)
  if(NOT SF_HOST)
    return()
  endif()
  if(kind STREQUAL "default")
    if(NOT SF_SANITIZE)
      return()
    endif()
    set(flags -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  elseif(kind STREQUAL "thread")
    set(flags -fsanitize=thread -fno-omit-frame-pointer)
  else()
    return()
  endif()
  target_compile_options(${target} PRIVATE ${flags})
  target_link_options(${target} PRIVATE ${flags})
endfunction()

# Windows executables are linked statically: no libstdc++/libgcc/winpthread DLL beside them.
function(sf_static_runtime target)
  if(SF_WINDOWS AND MINGW)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

# sf_add_library(name SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# A static library of ours with the alias sf::name; its folder's parent is the include root.
function(sf_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  add_library(sf::${name} ALIAS ${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  sf_enable_warnings(${name})
  sf_sanitize(${name} default)
endfunction()

# sf_add_test(name SOURCES ... [LIBS ...] [GUI] [DRIVES D E ...] [SANITIZE thread|none]
#             [TIMEOUT seconds] [RUNNER script])
# One GoogleTest program registered as one ctest test. In the Windows build it runs
# through Wine (scripts/wine-run.sh); GUI marks a test that opens windows (needs DISPLAY);
# DRIVES maps each letter to a fresh temporary folder for the run of this program;
# RUNNER is a script that runs the program itself (given its path) instead.
function(sf_add_test name)
  cmake_parse_arguments(ARG "GUI" "SANITIZE;TIMEOUT;RUNNER" "SOURCES;LIBS;DRIVES" ${ARGN})
  if(NOT ARG_SANITIZE)
    set(ARG_SANITIZE default)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  if(SF_HOST AND ARG_SANITIZE STREQUAL "thread" AND TARGET test_support_tsan)
    # LIBS must then be built with the same instrumentation (or be header-only).
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} test_support_tsan)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} sf::test_support GTest::gtest GTest::gmock)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  sf_enable_warnings(${name})
  sf_sanitize(${name} ${ARG_SANITIZE})
  sf_static_runtime(${name})
  if(SF_WINDOWS AND MINGW)
    # Console programs that may still open windows; wide entry point.
    target_link_options(${name} PRIVATE -municode)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/gtest_wmain.cpp)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/gtest_main.cpp)
  endif()

  if(ARG_RUNNER)
    add_test(NAME ${name} COMMAND bash ${ARG_RUNNER} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set(env "GTEST_COLOR=no")
  if(SF_WINDOWS)
    list(APPEND env "GTEST_OUTPUT=xml:Z:${SF_RESULTS_DIR}/${name}.xml"
                    "SF_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
    if(ARG_DRIVES)
      string(REPLACE ";" " " drives "${ARG_DRIVES}")
      list(APPEND env "SF_DRIVES=${drives}")
      set_property(TEST ${name} APPEND PROPERTY RESOURCE_LOCK wine_drives)
    endif()
    if(ARG_GUI)
      list(APPEND env "SF_GUI=1")
      set_property(TEST ${name} APPEND PROPERTY RESOURCE_LOCK wine_display)
    endif()
  else()
    list(APPEND env "GTEST_OUTPUT=xml:${SF_RESULTS_DIR}/${name}.xml")
  endif()
  list(APPEND env "SF_SCREENSHOT_DIR=${SF_SCREENSHOT_DIR}" "TSAN_OPTIONS=halt_on_error=1")
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT})
endfunction()

# sf_add_test_program(name FOR test SOURCES ... [LIBS ...])
# A Windows program that the test program `test` starts: built with it, beside it.
function(sf_add_test_program name)
  cmake_parse_arguments(ARG "" "FOR" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -municode)
  sf_enable_warnings(${name})
  sf_static_runtime(${name})
  add_dependencies(${ARG_FOR} ${name})
endfunction()

# sf_add_fuzzer(name SOURCES ... [LIBS ...]): a libFuzzer target (native clang build only).
function(sf_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT SF_HOST OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  sf_enable_warnings(${name})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()

# sf_add_benchmark(name SOURCES ... [LIBS ...]): Google Benchmark program (native build).
function(sf_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  sf_enable_warnings(${name})
  sf_sanitize(${name} default)
  sf_static_runtime(${name})
endfunction()

# Adds every direct sub-folder of the current folder that has a CMakeLists.txt,
# so that a subsystem's tests join the build without editing a shared list.
function(sf_add_child_folders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# sf_program_resources(out_var)
# The program's two resource scripts (icon, manifest and version; layouts, UI definition
# and images) for a target of the calling folder, rebuilt whenever a file they pull in
# changes. Sets out_var to the list of the two scripts.
function(sf_program_resources out_var)
  set(rc_dir ${PROJECT_SOURCE_DIR}/resources)
  file(GLOB layout_files ${rc_dir}/layouts/*.xml)
  file(GLOB image_files ${rc_dir}/images/*.png)
  set_source_files_properties(${rc_dir}/syncfolder.rc PROPERTIES
    OBJECT_DEPENDS "${rc_dir}/icons/logo.ico;${rc_dir}/syncfolder.manifest;${rc_dir}/version.rc")
  set_source_files_properties(${rc_dir}/app.rc PROPERTIES OBJECT_DEPENDS "${layout_files};${image_files}")
  set(${out_var} ${rc_dir}/syncfolder.rc ${rc_dir}/app.rc PARENT_SCOPE)
endfunction()
