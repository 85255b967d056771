# What `cmake --install` puts where, and the Debian package that `cpack -G DEB` builds from it:
# the game in bin/, everything it reads in share/zelmar/ (found from the program's own path, so
# the working directory does not matter), and what desktops need to list it: a desktop entry,
# AppStream metadata and icons. Everything is taken from the build folder, where it was made.
include(GNUInstallDirs)

set(zelmar_data_dir ${CMAKE_INSTALL_DATADIR}/zelmar)
install(TARGETS zelmar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
file(GLOB shader_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*.vsh ${PROJECT_SOURCE_DIR}/data/*.psh)
set(installed_shaders)
foreach(source ${shader_sources})
  get_filename_component(name ${source} NAME)
  list(APPEND installed_shaders ${PROJECT_BINARY_DIR}/${name})
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/data.qzr ${installed_shaders} DESTINATION ${zelmar_data_dir})
# The sounds and the music, made beside the executables by the sound generator.
install(FILES ${PROJECT_BINARY_DIR}/fire.wav ${PROJECT_BINARY_DIR}/explosion.wav ${PROJECT_BINARY_DIR}/ZEZIZIV5.it
        DESTINATION ${zelmar_data_dir})
install(FILES ${PROJECT_SOURCE_DIR}/data/packaging/zelmar.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/packaging/org.zelmar.zelmar.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(side ${ZELMAR_ICON_SIZES})
  install(FILES ${PROJECT_BINARY_DIR}/icons/hicolor/${side}x${side}/apps/zelmar.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps)
endforeach()

set(CPACK_PACKAGE_NAME zelmar)
set(CPACK_PACKAGE_VENDOR "The Zelmar developers")
set(CPACK_PACKAGE_CONTACT "The Zelmar developers <zelmar@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down scrolling space shooter")
set(CPACK_PACKAGE_DESCRIPTION "Zelmar is a small single-player shooter seen from above: steer with the mouse, the arrow keys or a game controller and fire at what waits along the scrolling level.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Mesa's drivers draw where the machine has no other OpenGL driver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_STRIP_FILES ON)
include(CPack)
