# The Windows program as users get it, made by `cpack --config build-windows/CPackConfig.cmake`:
# build-windows/circle-intersection-<version>-win64.zip, a folder holding the program, the Qt
# and MinGW DLLs it loads, its licence and the licences of what it ships with; and
# build-windows/circle-intersection-<version>-win64-setup.exe, a 64-bit NSIS installer of the
# same files with a Start-menu entry and an uninstaller.

# The DLLs and plugins the program loads: Qt's Core, Gui and Widgets, the Windows platform,
# the Windows styles (the platform's own look), and the compiler's run-time libraries, which
# Qt's DLLs load too.
set(qt ${CIRCLES_WINDOWS_QT})
install(FILES ${qt}/bin/Qt6Core.dll ${qt}/bin/Qt6Gui.dll ${qt}/bin/Qt6Widgets.dll
              ${CIRCLES_MINGW_RUNTIME_DIR}/libstdc++-6.dll
              ${CIRCLES_MINGW_RUNTIME_DIR}/libgcc_s_seh-1.dll
              ${CIRCLES_WINPTHREAD_DIR}/libwinpthread-1.dll
        DESTINATION .)
install(FILES ${qt}/plugins/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${qt}/plugins/styles/qwindowsvistastyle.dll DESTINATION styles)
# The DLLs carry symbol tables (and libstdc++ its debugging information), which the program
# never needs: strip the installed copies, as CPack strips the program.
install(CODE "
    foreach(dll Qt6Core Qt6Gui Qt6Widgets platforms/qwindows styles/qwindowsvistastyle
                libstdc++-6 libgcc_s_seh-1 libwinpthread-1)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${dll}.dll\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()")

# The licences: the program's own, and those of Qt (with the libraries bundled in its source)
# and of the MinGW run-time libraries, as Debian's packages record them, with a note saying
# which Debian packages the DLLs came from and where their source is.
function(circles_package_version package out)
    execute_process(COMMAND dpkg-query -W -f=\${Version} ${package}
        OUTPUT_VARIABLE version COMMAND_ERROR_IS_FATAL ANY)
    set(${out} ${version} PARENT_SCOPE)
endfunction()
file(READ ${qt}/share/circle-intersection/debian-source-version qt_source_version)
string(STRIP "${qt_source_version}" CIRCLES_QT_SOURCE_VERSION)
circles_package_version(gcc-mingw-w64-x86-64-posix-runtime CIRCLES_GCC_RUNTIME_VERSION)
circles_package_version(mingw-w64-x86-64-dev CIRCLES_MINGW_DEV_VERSION)
configure_file(${CMAKE_CURRENT_LIST_DIR}/licences.txt.in ${PROJECT_BINARY_DIR}/licences/README.txt
    @ONLY NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
install(FILES ${PROJECT_BINARY_DIR}/licences/README.txt
              ${qt}/share/circle-intersection/LGPL-3.0-only.txt
              ${qt}/share/circle-intersection/GPL-3.0-only.txt
        DESTINATION licences)
install(FILES ${qt}/share/circle-intersection/qt-copyright.txt
        DESTINATION licences RENAME qt6-base.txt)
install(FILES /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright
        DESTINATION licences RENAME gcc-runtime.txt)
install(FILES /usr/share/doc/mingw-w64-x86-64-dev/copyright
        DESTINATION licences RENAME mingw-w64.txt)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME circle-intersection)
set(CPACK_PACKAGE_VENDOR "Circle Intersection")
set(CPACK_PACKAGE_VERSION ${CIRCLES_VERSION_TEXT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_PACKAGE_FILE_NAME circle-intersection-${CIRCLES_VERSION_TEXT}-win64)
set(CPACK_STRIP_FILES ON)
# The installer only: its name, and the 64-bit NSIS it needs (Windows on x64 and arm64 runs it).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack-options.cmake)

set(CPACK_PACKAGE_INSTALL_DIRECTORY circle-intersection)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY circle-intersection)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "${PROJECT_DESCRIPTION}")
set(CPACK_NSIS_DISPLAY_NAME "${PROJECT_DESCRIPTION}")
# The Start-menu entry, in a folder of its own, carries the program's Japanese name.
set(CPACK_PACKAGE_EXECUTABLES circle-intersection "${PROJECT_DESCRIPTION}")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME circle-intersection.exe)
set(CPACK_NSIS_MUI_ICON ${CIRCLES_ICON_FILE})
set(CPACK_NSIS_MUI_UNIICON ${CIRCLES_ICON_FILE})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
include(CPack)
