# Per-user install. The program keeps info.ini beside itself and replaces its own file when it
# updates, so it lives in a directory its user owns: the executable sits directly in the prefix.
#
#   cmake --install build                                  # ~/.local/opt/sarn-terminal + menu entry
#   cmake --install build --prefix DIR --component runtime # the program only (what the tests use)
#
# Component "runtime": DIR/sarn-terminal, and DIR/share/ with the desktop entry and icons for
# reference. Component "menu": the desktop entry and icons in the user's data directory
# ($XDG_DATA_HOME, else ~/.local/share), with Exec pointing at the installed program. The menu
# files are listed in install_manifest.txt like every other installed file.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND DEFINED ENV{HOME})
    set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local/opt/sarn-terminal" CACHE PATH
        "Install prefix: a directory the user owns" FORCE)
endif()

set(_sarn_pkg ${CMAKE_CURRENT_LIST_DIR}/../packaging)

install(TARGETS sarn-terminal RUNTIME DESTINATION . COMPONENT runtime
        PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                    WORLD_READ WORLD_EXECUTE)
install(FILES ${_sarn_pkg}/sarn-terminal.svg
        DESTINATION share/icons/hicolor/scalable/apps COMPONENT runtime)
install(FILES ${_sarn_pkg}/sarn-terminal-256.png RENAME sarn-terminal.png
        DESTINATION share/icons/hicolor/256x256/apps COMPONENT runtime)
install(FILES ${_sarn_pkg}/sarn-terminal-48.png RENAME sarn-terminal.png
        DESTINATION share/icons/hicolor/48x48/apps COMPONENT runtime)

# The desktop entry needs the final absolute path of the program, which is only known at
# install time (--prefix and DESTDIR may differ from the configured prefix).
install(CODE "
    set(_exec \"\${CMAKE_INSTALL_PREFIX}/sarn-terminal\")
    set(_dest \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications\")
    set(SARN_EXEC \"\${_exec}\")
    configure_file(\"${_sarn_pkg}/sarn-terminal.desktop.in\" \"\${_dest}/sarn-terminal.desktop\" @ONLY)
    message(STATUS \"Installing: \${_dest}/sarn-terminal.desktop\")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_dest}/sarn-terminal.desktop\")
" COMPONENT runtime)

install(CODE "
    if(DEFINED ENV{XDG_DATA_HOME} AND NOT \"\$ENV{XDG_DATA_HOME}\" STREQUAL \"\")
        set(_data \"\$ENV{XDG_DATA_HOME}\")
    else()
        set(_data \"\$ENV{HOME}/.local/share\")
    endif()
    set(_data \"\$ENV{DESTDIR}\${_data}\")
    set(SARN_EXEC \"\${CMAKE_INSTALL_PREFIX}/sarn-terminal\")
    configure_file(\"${_sarn_pkg}/sarn-terminal.desktop.in\"
                   \"\${_data}/applications/sarn-terminal.desktop\" @ONLY)
    file(INSTALL \"${_sarn_pkg}/sarn-terminal.svg\"
         DESTINATION \"\${_data}/icons/hicolor/scalable/apps\")
    file(INSTALL \"${_sarn_pkg}/sarn-terminal-256.png\"
         DESTINATION \"\${_data}/icons/hicolor/256x256/apps\" RENAME sarn-terminal.png)
    file(INSTALL \"${_sarn_pkg}/sarn-terminal-48.png\"
         DESTINATION \"\${_data}/icons/hicolor/48x48/apps\" RENAME sarn-terminal.png)
    message(STATUS \"Installing: \${_data}/applications/sarn-terminal.desktop\")
    # file(INSTALL) records itself in the manifest; configure_file does not.
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_data}/applications/sarn-terminal.desktop\")
" COMPONENT menu)
