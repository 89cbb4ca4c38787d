# The web build (`make web`): the program and its tests as WebAssembly, built with Debian's
# emscripten against the Qt for WebAssembly that web/build-qt.sh makes (web/toolchain.cmake).

# The program's errors are C++ exceptions, which emscripten leaves uncaught unless asked. Qt's
# platform target asks it to drop catching (Qt itself is built without exceptions); every
# program here catches, so that target asks for catching instead.
target_compile_options(circles_options INTERFACE -fexceptions)
get_target_property(qt_link_options Qt6::Platform INTERFACE_LINK_OPTIONS)
list(TRANSFORM qt_link_options REPLACE "DISABLE_EXCEPTION_CATCHING=1" "DISABLE_EXCEPTION_CATCHING=0")
set_target_properties(Qt6::Platform PROPERTIES INTERFACE_LINK_OPTIONS "${qt_link_options}")
target_link_options(circles_options INTERFACE -fexceptions)

# Size first: every byte of the program is loaded by every first visit of the page.
target_compile_options(circles_options INTERFACE -Oz)
target_link_options(circles_options INTERFACE -Oz)

# The tests that need no window run under Node: emscripten 3.1.6's loader takes Node 20's own
# fetch for a browser's unless it is switched off.
find_program(CIRCLES_NODE node REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CIRCLES_NODE} --no-experimental-fetch)

# GoogleTest, built for the tests from its source, runs on one thread, as a page does.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
