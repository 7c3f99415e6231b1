# The Qt shell: a library of per-panel widgets, dialogs, the Qt host and canvas, and the window
# executable with its icon and desktop entry.
include(GNUInstallDirs)

file(GLOB SOUSTRUH_UI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/ui/*.cpp
     ${CMAKE_SOURCE_DIR}/src/ui/*.h)
add_library(soustruh_ui STATIC ${SOUSTRUH_UI_SOURCES})
set_target_properties(soustruh_ui PROPERTIES AUTOMOC ON)
target_link_libraries(soustruh_ui PUBLIC soustruh_core Qt6::Widgets Qt6::Multimedia
                      PRIVATE soustruh_warnings)
target_compile_definitions(soustruh_ui PRIVATE SOUSTRUH_VERSION="${PROJECT_VERSION}")

set(SOUSTRUH_WINDOW_DIR ${CMAKE_SOURCE_DIR}/src/app/window)
add_executable(soustruh ${SOUSTRUH_WINDOW_DIR}/main.cpp ${SOUSTRUH_WINDOW_DIR}/soustruh.qrc)
set_target_properties(soustruh PROPERTIES AUTORCC ON)
target_link_libraries(soustruh PRIVATE soustruh_ui soustruh_warnings)
target_compile_definitions(soustruh PRIVATE SOUSTRUH_VERSION="${PROJECT_VERSION}")
add_dependencies(soustruh soustruh_data)

# Installed as a private folder holding the executables and the data files beside them (the
# program reads its data from its own directory), with the window linked into bin/, a desktop
# entry and the icon.
set(SOUSTRUH_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/soustruh)
install(TARGETS soustruh soustruh-cli RUNTIME DESTINATION ${SOUSTRUH_INSTALL_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${SOUSTRUH_INSTALL_DIR})
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK ../${SOUSTRUH_INSTALL_DIR}/soustruh
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/soustruh\" SYMBOLIC)")
install(FILES ${SOUSTRUH_WINDOW_DIR}/soustruh.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SOUSTRUH_WINDOW_DIR}/soustruh.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
