# The web page, laid out by `cmake --install build-wasm --prefix build-web` (make web): a folder
# of static files that any web server can serve as it is.
#
#   index.html                 the page: the window's place, the loading and failure lines
#   loader.js                  loads the program into the page, saying how far it has got
#   circle-intersection.js     emscripten's part of the program
#   circle-intersection.wasm   the program, with its Japanese face
#   circle-intersection.png    the page's icon
#   manifest.webmanifest       what a home screen shows of the page installed there: its name,
#   circle-intersection-*.png  colours and icons (192 and 512 px; full-*: a square's, for
#                              shapes of the home screen's own and for Safari)
#   service-worker.js          keeps the page's files for visits without a network
#                              (web/worker.cmake writes in their hashes)
#   licences/                  what the page is made of, and under which licences

# The window's face, cut down to the characters its texts use and renamed, as its licence asks
# of a changed copy (web/cut-face.py), carried inside the program: Qt finds no face in a browser.
# It is cut when the build is configured, and again whenever the texts change.
set(face ${CIRCLES_FONT_DIR}/ipagp.ttf)
set(cut_face ${PROJECT_BINARY_DIR}/fonts/circle-intersection-gothic.ttf)
set(shown_texts ${PROJECT_SOURCE_DIR}/ui/form1.cpp)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/fonts)
execute_process(
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/cut-face.py ${face} ${cut_face} ${shown_texts}
    COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_LIST_DIR}/cut-face.py ${shown_texts})
qt_add_resources(circles_ui fonts PREFIX /fonts BASE ${PROJECT_BINARY_DIR}/fonts FILES ${cut_face})

# Qt links its programs for any environment; the page's runs in a browser only.
target_link_options(circle-intersection PRIVATE "SHELL:-s ENVIRONMENT=web")

# The page's place for the window takes the window's size, CIRCLES_WINDOW_WIDTH and
# CIRCLES_WINDOW_HEIGHT, as ui/CMakeLists.txt reads them from the window's layout.
# The page tells how far the program has loaded by its size, known once it is linked.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/index.html
    COMMAND ${CMAKE_COMMAND} -DWASM=$<TARGET_FILE_DIR:circle-intersection>/circle-intersection.wasm
        -DPAGE=${PROJECT_SOURCE_DIR}/ui/web/index.html -DOUTPUT=${PROJECT_BINARY_DIR}/index.html
        -DPROJECT_DESCRIPTION=${PROJECT_DESCRIPTION} -DCIRCLES_SHORT_NAME=${CIRCLES_SHORT_NAME}
        -DCIRCLES_WINDOW_WIDTH=${CIRCLES_WINDOW_WIDTH}
        -DCIRCLES_WINDOW_HEIGHT=${CIRCLES_WINDOW_HEIGHT}
        -P ${CMAKE_CURRENT_LIST_DIR}/index.cmake
    DEPENDS circle-intersection ${PROJECT_SOURCE_DIR}/ui/web/index.html
        ${CMAKE_CURRENT_LIST_DIR}/index.cmake
    VERBATIM)
add_custom_target(circles_page ALL DEPENDS ${PROJECT_BINARY_DIR}/index.html)

install(FILES ${PROJECT_BINARY_DIR}/index.html ${PROJECT_SOURCE_DIR}/ui/web/loader.js
              $<TARGET_FILE:circle-intersection>
              $<TARGET_FILE_DIR:circle-intersection>/circle-intersection.wasm
        DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icon/circle-intersection-32.png
        DESTINATION . RENAME circle-intersection.png)
# The manifest names the page as the program is named.
configure_file(${PROJECT_SOURCE_DIR}/ui/web/manifest.webmanifest
    ${PROJECT_BINARY_DIR}/manifest.webmanifest @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/manifest.webmanifest DESTINATION .)
foreach(icon 192 512 full-180 full-512)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/icon/circle-intersection-${icon}.png DESTINATION .)
endforeach()
set(qt ${CIRCLES_WEB_QT}/share/circle-intersection)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${qt}/qt-copyright.txt ${qt}/LGPL-3.0-only.txt
              ${qt}/GPL-3.0-only.txt /usr/share/doc/fonts-ipafont-gothic/copyright
        DESTINATION licences)
# The service worker last, with the hashes of the files installed above.
install(CODE "execute_process(COMMAND \"${CMAKE_COMMAND}\" \"-DPAGE=\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\"
    -P \"${CMAKE_CURRENT_LIST_DIR}/worker.cmake\" COMMAND_ERROR_IS_FATAL ANY)")
