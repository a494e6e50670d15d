# syncfolder.exe: the Windows program (GUI subsystem, Unicode entry point, static runtime).
sf_add_library(appshell SOURCES app.cpp PUBLIC_LIBS sf::common sf::appdirs sf::uikit sf::popups sf::mainframe)
target_link_libraries(appshell PUBLIC ole32)

sf_program_resources(program_rc)
add_executable(syncfolder WIN32 main.cpp ${program_rc})
target_include_directories(syncfolder PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(syncfolder PRIVATE sf::appshell)
target_link_options(syncfolder PRIVATE -municode)
sf_enable_warnings(syncfolder)
sf_static_runtime(syncfolder)

include(${PROJECT_SOURCE_DIR}/cmake/Release.cmake)
