# The log driver: report lines from the application into the log engine. Portable: the
# text conversion has a Windows half (ANSI code page) and a native half (UTF-8).
set(logdriver_sources ${CMAKE_CURRENT_LIST_DIR}/logdriver.cpp)
if(SF_WINDOWS)
  list(APPEND logdriver_sources ${CMAKE_CURRENT_LIST_DIR}/logdriver_win.cpp)
else()
  list(APPEND logdriver_sources ${CMAKE_CURRENT_LIST_DIR}/logdriver_posix.cpp)
endif()
sf_add_library(logdriver SOURCES ${logdriver_sources} PUBLIC_LIBS sf::logengine PRIVATE_LIBS sf::common)
