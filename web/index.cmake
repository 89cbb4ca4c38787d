# Writes the page (ui/web/index.html, given as PAGE) to OUTPUT with the size of the program (WASM)
# in it, the program's name and short name (PROJECT_DESCRIPTION, CIRCLES_SHORT_NAME) and the
# window's size (CIRCLES_WINDOW_WIDTH, CIRCLES_WINDOW_HEIGHT). Run by web/page.cmake each time
# the program is linked: cmake -DWASM=... -DPAGE=... -DOUTPUT=... -P index.cmake
file(SIZE ${WASM} CIRCLES_WASM_BYTES)
configure_file(${PAGE} ${OUTPUT} @ONLY)
