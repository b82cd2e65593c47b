# Writes the page's service worker into the page folder PAGE from its template: each file
# that it keeps with the file's SHA-256 digest, and a release named after all of them, so
# that a change to any file is a new release. cmake -DPAGE=<folder> -P ServiceWorker.cmake
cmake_minimum_required(VERSION 3.25)
set(kept index.html korvanda.css korvanda-page.js korvanda.js korvanda.wasm
    manifest.webmanifest favicon.ico icons/korvanda.svg icons/korvanda-32.png
    icons/korvanda-192.png icons/korvanda-512.png)
set(files "")
set(all "")
foreach(file IN LISTS kept)
    file(SHA256 ${PAGE}/${file} digest)
    if(file STREQUAL "index.html")
        string(APPEND files "\n    \"./\": \"${digest}\",")
    endif()
    string(APPEND files "\n    \"${file}\": \"${digest}\",")
    string(APPEND all ${digest})
endforeach()
string(SHA256 release ${all})
string(SUBSTRING ${release} 0 16 release)
file(READ ${CMAKE_CURRENT_LIST_DIR}/service-worker.js.in worker)
string(CONFIGURE "${worker}" worker @ONLY)
file(WRITE ${PAGE}/service-worker.js "${worker}")
