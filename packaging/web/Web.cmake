# The game as a web page: the program built with emscripten, with the page, its style and
# loader, the web app manifest, the service worker (stamped with the release's files by
# ServiceWorker.cmake) and the icons, put together in
# ${PROJECT_BINARY_DIR}/page, which any static web host serves as it is.

# The page's Content-Security-Policy admits no eval: the loader and the runtime create
# no code from text. The program runs in browsers only. It is linked with link-time
# optimisation, as the Qt it links was compiled for, and optimised for size (wasm-opt).
foreach(target IN ITEMS korvanda_game korvanda_ui korvanda)
    target_compile_options(${target} PRIVATE -flto)
endforeach()
target_link_options(korvanda PRIVATE -flto "SHELL:-s DYNAMIC_EXECUTION=0"
    "SHELL:-s ENVIRONMENT=web")

# The program's files go beside copies compressed for transfer, which a host that honours
# the request's Accept-Encoding sends in their place. Both tools write no name and no time
# into what they make, so two builds give the same bytes.
find_program(KORVANDA_GZIP gzip REQUIRED)
find_program(KORVANDA_BROTLI brotli REQUIRED)

set(korvanda_page_dir ${PROJECT_BINARY_DIR}/page)
set(korvanda_page_files
    ${CMAKE_CURRENT_LIST_DIR}/index.html
    ${CMAKE_CURRENT_LIST_DIR}/korvanda.css
    ${CMAKE_CURRENT_LIST_DIR}/korvanda-page.js
    ${CMAKE_CURRENT_LIST_DIR}/manifest.webmanifest
    # The embedded face's licence goes with the program that embeds it.
    /usr/share/doc/fonts-liberation/copyright
)
set(korvanda_page_icons)
foreach(size IN ITEMS 32 192 512)
    list(APPEND korvanda_page_icons ${PROJECT_SOURCE_DIR}/assets/icons/korvanda-${size}.png)
endforeach()
add_custom_command(OUTPUT ${korvanda_page_dir}/korvanda.wasm
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${korvanda_page_dir}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${korvanda_page_dir}/icons
    COMMAND ${CMAKE_COMMAND} -E copy ${korvanda_page_files} ${korvanda_page_dir}
    COMMAND ${CMAKE_COMMAND} -E rename ${korvanda_page_dir}/copyright
        ${korvanda_page_dir}/LiberationSans-COPYING.txt
    COMMAND ${CMAKE_COMMAND} -E copy ${korvanda_page_icons}
        ${PROJECT_SOURCE_DIR}/assets/icons/korvanda.svg ${korvanda_page_dir}/icons
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/assets/icons/korvanda.ico
        ${korvanda_page_dir}/favicon.ico
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE_DIR:korvanda>/korvanda.js
        $<TARGET_FILE_DIR:korvanda>/korvanda.wasm ${korvanda_page_dir}
    COMMAND ${KORVANDA_GZIP} -9 -n -k -f ${korvanda_page_dir}/korvanda.js
        ${korvanda_page_dir}/korvanda.wasm
    COMMAND ${KORVANDA_BROTLI} -q 11 -k -f ${korvanda_page_dir}/korvanda.js
        ${korvanda_page_dir}/korvanda.wasm
    COMMAND ${CMAKE_COMMAND} -DPAGE=${korvanda_page_dir}
        -P ${CMAKE_CURRENT_LIST_DIR}/ServiceWorker.cmake
    DEPENDS korvanda ${korvanda_page_files} ${korvanda_page_icons}
        ${CMAKE_CURRENT_LIST_DIR}/service-worker.js.in
        ${CMAKE_CURRENT_LIST_DIR}/ServiceWorker.cmake
    COMMENT "Putting the page together in ${korvanda_page_dir}"
    VERBATIM)
add_custom_target(korvanda_page ALL DEPENDS ${korvanda_page_dir}/korvanda.wasm)
