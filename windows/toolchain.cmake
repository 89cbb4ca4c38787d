# 64-bit Windows programs built on Debian with MinGW-w64. The -posix compilers, because Qt and
# the C++ standard library's threads need the POSIX thread model. Used both to build Qt itself
# (windows/build-qt.sh) and to build the program (the `windows` preset).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# Libraries, headers and CMake packages come only from the MinGW tree and from the Qt for
# Windows named by CIRCLES_WINDOWS_QT; programs run at build time (moc, rcc, uic) are the
# build machine's own, from Debian's Qt.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
if(CIRCLES_WINDOWS_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${CIRCLES_WINDOWS_QT})
    set(QT_HOST_PATH /usr)
    execute_process(COMMAND dpkg-architecture -qDEB_HOST_MULTIARCH
        OUTPUT_VARIABLE host_multiarch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${host_multiarch}/cmake)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CIRCLES_WINDOWS_QT)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
