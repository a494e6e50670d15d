# syncfolder.exe: the Windows program (GUI subsystem, Unicode entry point, static runtime).
sf_add_library(appshell SOURCES app.cpp mainframewnd.cpp PUBLIC_LIBS sf::common sf::appdirs sf::uikit)
target_link_libraries(appshell PUBLIC ole32)

add_executable(syncfolder WIN32 main.cpp ${PROJECT_SOURCE_DIR}/resources/syncfolder.rc)
target_include_directories(syncfolder PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(syncfolder PRIVATE sf::appshell)
target_link_options(syncfolder PRIVATE -municode)
set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/syncfolder.rc PROPERTIES
  OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/resources/icons/logo.ico;${PROJECT_SOURCE_DIR}/resources/syncfolder.manifest;${PROJECT_SOURCE_DIR}/resources/version.rc")
sf_enable_warnings(syncfolder)
sf_static_runtime(syncfolder)
