# GoogleTest for the Windows build: Debian's googletest package carries its source, which is
# built here with the project's compiler. Provides GTest::gtest and GTest::gtest_main.
if(NOT TARGET GTest::gtest)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
set(GTest_FOUND TRUE)
