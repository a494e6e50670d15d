# The main window and its controller.
sf_add_library(mainframe
  SOURCES mainframedriver.cpp mainframedriver_files.cpp mainframedriver_engines.cpp mainframedriver_run.cpp
          mainframewnd.cpp
  PUBLIC_LIBS sf::uikit sf::popups sf::sync sf::settings sf::logdriver sf::epool sf::discovery sf::seldrive sf::common
  PRIVATE_LIBS shlwapi shell32)

# syncfolder.exe: the Windows program (GUI subsystem, Unicode entry point, static runtime).
sf_add_library(appshell SOURCES app.cpp PUBLIC_LIBS sf::common sf::appdirs sf::uikit sf::popups sf::mainframe)
target_link_libraries(appshell PUBLIC ole32)

# The program's resources: icon, manifest and version (syncfolder.rc), and the windows'
# layouts, UI definition and images (app.rc).
set(rc_dir ${PROJECT_SOURCE_DIR}/resources)
file(GLOB layout_files ${rc_dir}/layouts/*.xml)
file(GLOB image_files ${rc_dir}/images/*.png)
set_source_files_properties(${rc_dir}/syncfolder.rc PROPERTIES
  OBJECT_DEPENDS "${rc_dir}/icons/logo.ico;${rc_dir}/syncfolder.manifest;${rc_dir}/version.rc")
set_source_files_properties(${rc_dir}/app.rc PROPERTIES OBJECT_DEPENDS "${layout_files};${image_files}")

add_executable(syncfolder WIN32 main.cpp ${rc_dir}/syncfolder.rc ${rc_dir}/app.rc)
target_include_directories(syncfolder PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(syncfolder PRIVATE sf::appshell)
target_link_options(syncfolder PRIVATE -municode)
sf_enable_warnings(syncfolder)
sf_static_runtime(syncfolder)
