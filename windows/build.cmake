# The Windows build, cross-built on Debian with MinGW-w64 against the Qt that
# windows/build-qt.sh makes; `make windows` configures it with the `windows` preset.

# The program sits at the top of its folder, beside the DLLs it loads.
set(CMAKE_INSTALL_BINDIR .)

# The tests run under Wine: through a script that gives every run the build folder's own Wine
# prefix, quiet Wine, and the folders holding Qt's and the compiler's DLLs.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
    OUTPUT_VARIABLE libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
cmake_path(GET libstdcxx PARENT_PATH CIRCLES_MINGW_RUNTIME_DIR)
set(CIRCLES_WINPTHREAD_DIR /usr/x86_64-w64-mingw32/lib)
set(CIRCLES_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine)
configure_file(${PROJECT_SOURCE_DIR}/tests/windows/wine-run.sh.in ${PROJECT_BINARY_DIR}/wine-run.sh
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                     WORLD_READ WORLD_EXECUTE
    @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine-run.sh)
