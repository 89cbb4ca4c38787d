# GoogleTest for the cross builds (Windows, the web): Debian's googletest package carries its
# source, which is built here with the project's compiler. Provides GTest::gtest and
# GTest::gtest_main.
if(NOT TARGET GTest::gtest)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    if(EMSCRIPTEN)
        set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)  # a page runs on one thread
    endif()
    add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
set(GTest_FOUND TRUE)
