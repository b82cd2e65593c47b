# Installation and packaging of the game: the program, its desktop entry, icons and
# AppStream record for Linux desktops, a Debian package, and the version record, icon and
# application manifest of the Windows program file.
include(GNUInstallDirs)

# Folders that the install makes have the same mode whatever the umask, and so has the
# package made of them.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian keeps games in /usr/games (and /usr/local/games), which its PATH holds.
if(WIN32)
    set(korvanda_program_dir ${CMAKE_INSTALL_BINDIR})
else()
    set(korvanda_program_dir games)
endif()
install(TARGETS korvanda RUNTIME DESTINATION ${korvanda_program_dir})
# A stripping install drops, as Debian's dh_strip does, the compiler's notes on how the
# program was built too.
install(CODE "
if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${korvanda_program_dir}/$<TARGET_FILE_NAME:korvanda>\"
        COMMAND_ERROR_IS_FATAL ANY)
endif()")
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${KORVANDA_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${KORVANDA_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN ITEMS 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/korvanda-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${KORVANDA_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/korvanda.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${KORVANDA_APP_ID}.svg)
# The licence asks that its notice go with every copy; Debian looks for it under this name.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/korvanda
    RENAME copyright)

if(NOT WIN32)
    # Debian's manual pages and changelogs are gzip files; -n leaves the name and time of
    # the source out of them, so that each depends on its text alone.
    find_program(GZIP gzip REQUIRED)
    set(korvanda_compressed "")
    foreach(file IN ITEMS korvanda.6 changelog)
        set(copy ${PROJECT_BINARY_DIR}/packaging/${file})
        add_custom_command(OUTPUT ${copy}.gz
            COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/${file} ${copy}
            COMMAND ${GZIP} -n -9 -f ${copy}
            DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${file} VERBATIM)
        list(APPEND korvanda_compressed ${copy}.gz)
    endforeach()
    add_custom_target(korvanda_compressed_docs ALL DEPENDS ${korvanda_compressed})
    install(FILES ${PROJECT_BINARY_DIR}/packaging/korvanda.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    # A native package's changelog, where Debian looks for it.
    install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/korvanda)
endif()

# Windows reads the numeric version as four 16-bit numbers; math() drops the leading zero
# of a minor version such as "08", which windres reads as octal and rejects.
set(korvanda_rc_version "")
foreach(part IN ITEMS MAJOR MINOR PATCH TWEAK)
    set(number "${PROJECT_VERSION_${part}}")
    if(number STREQUAL "")
        set(number 0)
    endif()
    math(EXPR number "${number}")
    list(APPEND korvanda_rc_version ${number})
endforeach()
list(JOIN korvanda_rc_version "," KORVANDA_RC_VERSION)
list(JOIN korvanda_rc_version "." KORVANDA_MANIFEST_VERSION)
set(KORVANDA_ICO ${PROJECT_SOURCE_DIR}/assets/icons/korvanda.ico)
set(KORVANDA_MANIFEST ${PROJECT_BINARY_DIR}/packaging/korvanda.manifest)
# Written on every platform so that the package tests compile them on Linux too.
configure_file(${CMAKE_CURRENT_LIST_DIR}/korvanda.manifest.in ${KORVANDA_MANIFEST} @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/korvanda.rc.in
    ${PROJECT_BINARY_DIR}/packaging/korvanda.rc @ONLY)
if(WIN32)
    enable_language(RC)
    target_sources(korvanda PRIVATE ${PROJECT_BINARY_DIR}/packaging/korvanda.rc)
    # windres reads the files that the script names; a change of one rebuilds it.
    set_source_files_properties(${PROJECT_BINARY_DIR}/packaging/korvanda.rc PROPERTIES
        OBJECT_DEPENDS "${KORVANDA_ICO};${KORVANDA_MANIFEST}")
    # The Windows program is packed by its installer, against a Qt that no Debian package
    # holds: the rest is the Debian package.
    return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvanda)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# A package is built for the Debian release it is built on, whose Qt it depends on. Its
# version names that release as Debian's own updates of a stable release do, 1.00+deb12
# or 1.00+deb13, which the file name repeats; a newer release's package of one version
# sorts after an older's, and every package of a newer version after both.
cmake_host_system_information(RESULT korvanda_distribution
    QUERY DISTRIB_ID DISTRIB_VERSION_ID)
list(GET korvanda_distribution 0 korvanda_distribution_id)
list(GET korvanda_distribution 1 korvanda_debian_release)
if(korvanda_distribution_id STREQUAL "debian" AND korvanda_debian_release MATCHES "^[0-9]+$")
    set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION}+deb${korvanda_debian_release})
endif()
set(CPACK_PACKAGE_VENDOR "Korvanda developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [[
Korvanda hides a row of four pegs in four colours, and the player has eight
rows to find it. Each row is scored at once: a black box for every peg of the
right colour in the right hole, a white box for every further peg of a right
colour in a wrong hole.]])
set(CPACK_PACKAGE_HOMEPAGE_URL https://korvanda.github.io/)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Korvanda developers <korvanda@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# dpkg-shlibdeps reads the libraries the program links and names their packages, so
# Depends follows the Qt that the package was built against; it adds them to the list here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The message label asks fontconfig for "Liberation Sans" by name, and without it the
# opening message is cut off. Both packages name their faces so and keep the same widths;
# fonts-liberation is the one the game is tested with and the one apt picks.
# The Wayland support reaches into Qt's platform interface, whose layout is Qt's own
# from one version to the next. Debian's Qt core package provides a name for that exact
# version, qt6-base-abi in Debian 12 and qt6-base-private-abi in Debian 13: the package
# depends on the one that the Qt it is built against provides.
get_target_property(korvanda_qt_core Qt6::Core LOCATION)
get_filename_component(korvanda_qt_core "${korvanda_qt_core}" REALPATH)
execute_process(COMMAND dpkg-query -S "${korvanda_qt_core}"
    OUTPUT_VARIABLE korvanda_qt_core_package OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
string(REGEX REPLACE ":.*" "" korvanda_qt_core_package "${korvanda_qt_core_package}")
execute_process(COMMAND dpkg-query -W -f=\${Provides} "${korvanda_qt_core_package}"
    OUTPUT_VARIABLE korvanda_qt_provides ERROR_QUIET)
if(NOT korvanda_qt_provides MATCHES "(qt6-base(-private)?-abi \\(= [^)]*\\))")
    message(FATAL_ERROR "The package of ${korvanda_qt_core} (${korvanda_qt_core_package}) "
        "provides no Qt ABI version: ${korvanda_qt_provides}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation | fonts-liberation2, ${CMAKE_MATCH_1}")
# Without it Qt falls back to XWayland on a Wayland desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
include(CPack)
