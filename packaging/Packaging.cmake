# Installation and the Debian package. `cmake --install` lays the program out as a desktop
# program: bin/quorvane, the control library in lib/, the help, the icon in the hicolor theme,
# the desktop entry and the AppStream metadata. The build tree mirrors the same layout (bin/
# beside share/), so the program finds its pieces the same way in both.
set(QUORVANE_APP_ID com.brackenfold.Quorvane)
set(QUORVANE_LIBDIR lib)

# Registers the control library at install time (run by the package's postinst).
add_executable(quorvane-regsvr ${PROJECT_SOURCE_DIR}/packaging/regsvr.cpp)
target_link_libraries(quorvane-regsvr PRIVATE ${CMAKE_DL_LIBS})

# The installed files find their libraries relative to themselves. They are built with that same
# RPATH: otherwise CMake pads the build tree's RPATH with empty entries, to be rewritten at
# install, and the dynamic loader reads an empty entry as the current directory (a library
# planted where the user starts build/bin/quorvane would be loaded).
if(TARGET quorvane)
  set_target_properties(quorvane PROPERTIES INSTALL_RPATH "$ORIGIN/../${QUORVANE_LIBDIR}"
                                            BUILD_WITH_INSTALL_RPATH ON)
  install(TARGETS quorvane RUNTIME DESTINATION bin)
endif()
if(TARGET VantileCtl)
  set_target_properties(VantileCtl PROPERTIES INSTALL_RPATH "$ORIGIN" BUILD_WITH_INSTALL_RPATH ON)
  install(TARGETS VantileCtl LIBRARY DESTINATION ${QUORVANE_LIBDIR})
endif()
install(TARGETS quorvane-regsvr RUNTIME DESTINATION ${QUORVANE_LIBDIR}/quorvane)

set(QUORVANE_HELP_DIR ${PROJECT_SOURCE_DIR}/resources/help)
if(EXISTS ${QUORVANE_HELP_DIR})
  install(DIRECTORY ${QUORVANE_HELP_DIR}/ DESTINATION share/quorvane/help)
  # The build tree's copy, where the program run from build/bin looks for it.
  file(COPY ${QUORVANE_HELP_DIR}/ DESTINATION ${CMAKE_BINARY_DIR}/share/quorvane/help)
  set(QUORVANE_HAVE_HELP ON)
endif()

set(QUORVANE_ICON_SIZES 16 22 24 32 48 64 128 256)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/quorvane.svg
        DESTINATION share/icons/hicolor/scalable/apps)
foreach(size IN LISTS QUORVANE_ICON_SIZES)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/quorvane-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME quorvane.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/${QUORVANE_APP_ID}.desktop
        DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/${QUORVANE_APP_ID}.metainfo.xml
        DESTINATION share/metainfo)

# The Debian package: `cpack -G DEB` in the build directory.
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Brackenfold")
set(CPACK_PACKAGE_CONTACT "Brackenfold <support@brackenfold.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chord and scale reference for musicians")
set(CPACK_PACKAGE_DESCRIPTION
    "Shows chords and scales on a three-octave piano keyboard and a staff, in every inversion,\nwith a chart of related chords, and plays them through a built-in synthesizer or MIDI.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.brackenfold.example/index.htm")
# Libraries from the binaries themselves; the rest is what the program loads or reads at run
# time: FluidSynth (opened with the built-in synthesizer), Qt's platform plugins, the fonts it
# draws with and the General MIDI soundfont.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libfluidsynth3 (>= 2.0.5), qt6-qpa-plugins, fonts-freefont-ttf, timgm6mb-soundfont | fluid-soundfont-gm, fontconfig")
# The music font, and Qt's Wayland platform so the program runs natively on Wayland desktops
# (without it Qt falls back to XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-oflb-euterpe, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/postinst ${PROJECT_SOURCE_DIR}/packaging/prerm
    ${PROJECT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
