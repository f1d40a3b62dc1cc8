# Installation and the Debian package. `cmake --install` lays the program out as a desktop
# program: bin/quorvane, the control library in lib/, the help, the icon in the hicolor theme,
# the desktop entry and the AppStream metadata. The build tree mirrors the same layout (bin/
# beside share/), so the program finds its pieces the same way in both.
set(QUORVANE_APP_ID com.brackenfold.Quorvane)
set(QUORVANE_LIBDIR lib)
set(LIBDIR ${QUORVANE_LIBDIR})  # for the pkg-config file

# Registers the control library at install time (run by the package's postinst).
add_executable(quorvane-regsvr ${PROJECT_SOURCE_DIR}/packaging/regsvr.cpp)
target_link_libraries(quorvane-regsvr PRIVATE ${CMAKE_DL_LIBS})

# The installed files find their libraries relative to themselves. They are built with that same
# RPATH: otherwise CMake pads the build tree's RPATH with empty entries, to be rewritten at
# install, and the dynamic loader reads an empty entry as the current directory (a library
# planted where the user starts build/bin/quorvane would be loaded).
set_target_properties(quorvane PROPERTIES INSTALL_RPATH "$ORIGIN/../${QUORVANE_LIBDIR}"
                                          BUILD_WITH_INSTALL_RPATH ON)
install(TARGETS quorvane RUNTIME DESTINATION bin)
# The system MIDI module, which the installed program looks for in its own library folder.
install(TARGETS quorvane-system-midi LIBRARY DESTINATION ${QUORVANE_LIBDIR}/quorvane)
target_compile_definitions(quorvane_program
                           PRIVATE QUORVANE_MODULE_DIR="../${QUORVANE_LIBDIR}/quorvane")
set_target_properties(VantileCtl PROPERTIES INSTALL_RPATH "$ORIGIN" BUILD_WITH_INSTALL_RPATH ON)
# The library itself, with its unversioned name, belongs to the program: hosts load
# libVantileCtl.so by that name.
install(TARGETS VantileCtl EXPORT VantileCtlTargets LIBRARY DESTINATION ${QUORVANE_LIBDIR})

# The control library's SDK, for hosts outside this program (the "dev" component, the
# quorvane-vantile-dev package): the public headers with the generated export header, a CMake
# package (find_package(VantileCtl) gives VantileCtl::VantileCtl, the library, and
# VantileCtl::VantileHost, the header-only host side) and a pkg-config file (vantilectl).
include(CMakePackageConfigHelpers)
set(VANTILE_CMAKE_DIR ${QUORVANE_LIBDIR}/cmake/VantileCtl)
install(FILES ${VANTILE_SDK_HEADERS} DESTINATION include/vantile COMPONENT dev)
install(TARGETS VantileHost EXPORT VantileCtlTargets COMPONENT dev)
install(EXPORT VantileCtlTargets NAMESPACE VantileCtl:: DESTINATION ${VANTILE_CMAKE_DIR}
        COMPONENT dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/packaging/VantileCtlConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/VantileCtlConfig.cmake INSTALL_DESTINATION ${VANTILE_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VantileCtlConfigVersion.cmake
  VERSION 1.0.0 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VantileCtlConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/VantileCtlConfigVersion.cmake
        DESTINATION ${VANTILE_CMAKE_DIR} COMPONENT dev)
configure_file(${PROJECT_SOURCE_DIR}/packaging/vantilectl.pc.in
               ${CMAKE_CURRENT_BINARY_DIR}/vantilectl.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vantilectl.pc DESTINATION ${QUORVANE_LIBDIR}/pkgconfig
        COMPONENT dev)
install(TARGETS quorvane-regsvr RUNTIME DESTINATION ${QUORVANE_LIBDIR}/quorvane)

set(QUORVANE_HELP_DIR ${PROJECT_SOURCE_DIR}/resources/help)
install(DIRECTORY ${QUORVANE_HELP_DIR}/ DESTINATION share/quorvane/help)
# The build tree's copy, where the program run from build/bin looks for it.
file(COPY ${QUORVANE_HELP_DIR}/ DESTINATION ${CMAKE_BINARY_DIR}/share/quorvane/help)

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
# ChordPro songs and SoundFonts, which the desktop entry says the program opens.
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/${QUORVANE_APP_ID}.mime.xml
        DESTINATION share/mime/packages RENAME ${QUORVANE_APP_ID}.xml)

# The manual page and the Debian changelog, compressed as Debian installs them (-n: no name or
# time stamp, so the same sources give the same files).
find_program(QUORVANE_GZIP gzip REQUIRED)
configure_file(${PROJECT_SOURCE_DIR}/resources/linux/quorvane.1.in
               ${CMAKE_CURRENT_BINARY_DIR}/quorvane.1 @ONLY)
set(quorvane_docs ${CMAKE_CURRENT_BINARY_DIR}/quorvane.1.gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${quorvane_docs}
  COMMAND ${QUORVANE_GZIP} -9nc ${CMAKE_CURRENT_BINARY_DIR}/quorvane.1 > quorvane.1.gz
  COMMAND ${QUORVANE_GZIP} -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > changelog.gz
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/quorvane.1 ${PROJECT_SOURCE_DIR}/packaging/changelog
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  COMMENT "Compressing the manual page and the changelog")
add_custom_target(quorvane_docs ALL DEPENDS ${quorvane_docs})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quorvane.1.gz DESTINATION share/man/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION share/doc/quorvane)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION share/doc/quorvane-vantile-dev COMPONENT dev)

# The Debian packages: `cpack -G DEB` in the build directory makes two, quorvane (everything but
# the SDK: the installs without a component) and quorvane-vantile-dev (the "dev" component).
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Brackenfold")
set(CPACK_PACKAGE_CONTACT "Brackenfold <support@brackenfold.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chord and scale reference for musicians")
set(CPACK_PACKAGE_DESCRIPTION
    "Shows chords and scales on a three-octave piano keyboard and a staff, in every inversion,\nwith a chart of related chords, and plays them through a built-in synthesizer or MIDI.")
# The package's extended description (a component package does not take the one above).
set(CPACK_DEBIAN_UNSPECIFIED_DESCRIPTION
    "Quorvane shows any of 53 chord types and 36 scales on any root: the chord on\na three-octave piano keyboard and a treble or bass staff, in every inversion,\nthe scale coloured on the same keys, and a chart of fifteen related chords.\n.\nIt plays the chord as a block, an arpeggio or a strum through a built-in\nsynthesizer or a MIDI output, names a chord held on a MIDI keyboard or typed\non the computer keyboard, spells it with sharps, flats or by chord, exports it\nas a MIDI file, and collects chords into a sequence that plays and is saved as\na ChordPro song.\n.\nThe package also holds libVantileCtl, the marker control library the program\ncreates its keyboard markers from.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified dev)
set(CPACK_COMPONENT_UNSPECIFIED_HIDDEN ON)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME quorvane)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_DEV_PACKAGE_NAME quorvane-vantile-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DESCRIPTION
    "Headers, CMake package and pkg-config file of the Vantile marker control\nlibrary, for hosts that create the control by its ProgID.")
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "quorvane (= ${PROJECT_VERSION}), qt6-base-dev")
set(CPACK_DEBIAN_DEV_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.brackenfold.example/index.htm")
# Libraries from the binaries themselves; the rest is what the program loads or reads at run
# time: FluidSynth (opened with the built-in synthesizer), Qt's platform plugins, the fonts it
# draws with and the General MIDI soundfont.
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_DEPENDS
    "libfluidsynth3 (>= 2.0.5), qt6-qpa-plugins, fonts-freefont-ttf, timgm6mb-soundfont | fluid-soundfont-gm, fontconfig")
# The music font, Qt's Wayland platform so the program runs natively on Wayland desktops
# (without it Qt falls back to XWayland), and FluidR3 GM, the General MIDI soundfont the built-in
# synthesizer prefers to the small TimGM6mb.
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_RECOMMENDS "fonts-oflb-euterpe, qt6-wayland, fluid-soundfont-gm")
# The control library is a public shared library in /usr/lib: a shlibs file for the packages
# linking it, and the ldconfig trigger for its link.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/postinst ${PROJECT_SOURCE_DIR}/packaging/prerm
    ${PROJECT_SOURCE_DIR}/packaging/postrm ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
