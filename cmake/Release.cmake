# The file operators download: syncfolder-<version>.exe without debug information, and
# its debug information in syncfolder-<version>.exe.debug, which the exe names through a
# .gnu_debuglink section so that a debugger given a crash address still finds the symbols.
# The version is the FILEVERSION of the version resource.

file(STRINGS ${PROJECT_SOURCE_DIR}/resources/version.rc sf_fileversion_line REGEX "^FILEVERSION ")
string(REGEX MATCH "[0-9]+,[0-9]+,[0-9]+,[0-9]+" sf_fileversion "${sf_fileversion_line}")
string(REPLACE "," "." SF_RELEASE_VERSION "${sf_fileversion}")
if(NOT SF_RELEASE_VERSION)
  message(FATAL_ERROR "resources/version.rc: no FILEVERSION line")
endif()

set(sf_release_dir ${PROJECT_BINARY_DIR}/release)
# Cached so that the release test in tests/ finds it.
set(SF_RELEASE_EXE ${sf_release_dir}/syncfolder-${SF_RELEASE_VERSION}.exe CACHE INTERNAL "release file")
set(sf_release_debug ${SF_RELEASE_EXE}.debug)
set(sf_objcopy ${CMAKE_OBJCOPY})

add_custom_command(
  OUTPUT ${SF_RELEASE_EXE} ${sf_release_debug}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${sf_release_dir}
  COMMAND ${sf_objcopy} --only-keep-debug $<TARGET_FILE:syncfolder> ${sf_release_debug}
  COMMAND ${sf_objcopy} --strip-debug --strip-unneeded $<TARGET_FILE:syncfolder> ${SF_RELEASE_EXE}
  # Run inside the folder so that the link holds the bare file name.
  COMMAND ${sf_objcopy} --add-gnu-debuglink=syncfolder-${SF_RELEASE_VERSION}.exe.debug
          syncfolder-${SF_RELEASE_VERSION}.exe
  WORKING_DIRECTORY ${sf_release_dir}
  DEPENDS syncfolder
  COMMENT "Release file syncfolder-${SF_RELEASE_VERSION}.exe and its debug symbols"
  VERBATIM)
add_custom_target(release ALL DEPENDS ${SF_RELEASE_EXE} ${sf_release_debug})
