# What `cmake --install` puts on a freedesktop system: the two programs, the desktop entry, the
# dial file type (*.vlt and its first line "[Vernalith1.0]" or "[Vernalith1.1]"), the icon, an
# example dial file, the help pages and the bundled templates.
# Included from the top-level CMakeLists.txt after the targets are defined.

include(GNUInstallDirs)

set(_vernalith_root "${CMAKE_CURRENT_LIST_DIR}/..")

foreach(_vernalith_program IN ITEMS vernalith vernalith-export)
    if(TARGET ${_vernalith_program})
        install(TARGETS ${_vernalith_program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(FILES "${_vernalith_root}/packaging/vernalith.desktop"
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES "${_vernalith_root}/packaging/vernalith-mime.xml"
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages
        RENAME vernalith.xml)

set(_vernalith_icons ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor)
install(FILES "${_vernalith_root}/resources/icons/vernalith.svg"
        DESTINATION ${_vernalith_icons}/scalable/apps)
install(FILES "${_vernalith_root}/resources/icons/vernalith-48.png"
        DESTINATION ${_vernalith_icons}/48x48/apps RENAME vernalith.png)
install(FILES "${_vernalith_root}/resources/icons/vernalith-256.png"
        DESTINATION ${_vernalith_icons}/256x256/apps RENAME vernalith.png)

# A dial file to start from: the worked example the help walks through.
install(FILES "${_vernalith_root}/examples/worked-example.vlt"
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/vernalith/examples)

# The same pages the program shows in its help window, for reading in a web browser.
install(DIRECTORY "${_vernalith_root}/resources/help/"
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/vernalith/help)

# The designs File > New from Template offers, as plain dial files for vernalith-export.
install(DIRECTORY "${_vernalith_root}/resources/templates/"
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/vernalith/templates
        FILES_MATCHING PATTERN "*.vlt")

# Installed straight into a live prefix, the desktop learns about the new file type, entry and
# icon at once. A staged install (DESTDIR, as packagers use) leaves this to the package's own
# triggers.
set(_vernalith_refresh [[
    if("$ENV{DESTDIR}" STREQUAL "")
        set(_share "@CMAKE_INSTALL_DATAROOTDIR@")
        if(NOT IS_ABSOLUTE "${_share}")
            set(_share "${CMAKE_INSTALL_PREFIX}/${_share}")
        endif()
        find_program(_update_mime update-mime-database)
        if(_update_mime)
            execute_process(COMMAND "${_update_mime}" "${_share}/mime" OUTPUT_QUIET ERROR_QUIET)
        endif()
        find_program(_update_desktop update-desktop-database)
        if(_update_desktop)
            execute_process(COMMAND "${_update_desktop}" -q "${_share}/applications" OUTPUT_QUIET ERROR_QUIET)
        endif()
        find_program(_update_icons gtk-update-icon-cache)
        if(_update_icons AND EXISTS "${_share}/icons/hicolor/index.theme")
            execute_process(COMMAND "${_update_icons}" -q -t -f "${_share}/icons/hicolor" OUTPUT_QUIET ERROR_QUIET)
        endif()
    endif()
]])
string(CONFIGURE "${_vernalith_refresh}" _vernalith_refresh @ONLY)
install(CODE "${_vernalith_refresh}")
