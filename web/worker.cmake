# Writes the page's service worker (ui/web/service-worker.js) into the page's folder (PAGE), with
# the SHA-256 of each file it keeps and a version derived from them and from the worker's own
# text: whatever changes in a build changes the version. Run by `cmake --install` once the
# page's files are in place (web/page.cmake), and by the tests on a changed copy of the page:
#
#     cmake -DPAGE=build-web -P web/worker.cmake

# Every file a visit loads, and the manifest and its icons, which the browser loads too.
set(kept index.html loader.js circle-intersection.js circle-intersection.wasm
    circle-intersection.png manifest.webmanifest circle-intersection-192.png
    circle-intersection-512.png circle-intersection-full-512.png circle-intersection-full-180.png)
set(worker ${CMAKE_CURRENT_LIST_DIR}/../ui/web/service-worker.js)

file(SHA256 ${worker} hashes)
set(CIRCLES_PAGE_FILES "")
foreach(name ${kept})
    file(SHA256 ${PAGE}/${name} hash)
    string(APPEND CIRCLES_PAGE_FILES "  \"${name}\": \"${hash}\",\n")
    string(APPEND hashes " ${name} ${hash}")
endforeach()
string(SHA256 CIRCLES_PAGE_VERSION "${hashes}")
string(SUBSTRING ${CIRCLES_PAGE_VERSION} 0 16 CIRCLES_PAGE_VERSION)
configure_file(${worker} ${PAGE}/service-worker.js @ONLY)
