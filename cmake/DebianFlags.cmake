# The compiler and linker flags that Debian builds its packages with
# (dpkg-buildflags with DEB_BUILD_MAINT_OPTIONS=hardening=+all), for the Linux release:
# stack protector, fortified libc calls, stack clash and control-flow protection, a
# position-independent program whose relocations are read-only and bound at start-up.
# The build and source folders are mapped to fixed names, so that neither enters the
# program and two builds of one commit in different folders give the same file; the
# compiler warns of __DATE__ and __TIME__, which would make every build differ.
# They are GCC's spellings of ELF features, for Linux only: the MinGW build of the Windows
# program takes none of them. _FORTIFY_SOURCE needs an optimized build.
option(KORVANDA_DEBIAN_FLAGS "Build with Debian's hardening flags and without build paths" OFF)
if(NOT KORVANDA_DEBIAN_FLAGS)
    return()
endif()
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    message(STATUS "KORVANDA_DEBIAN_FLAGS: left out, as they are for GCC on Linux, not "
        "${CMAKE_CXX_COMPILER_ID} for ${CMAKE_SYSTEM_NAME}")
    return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_definitions(_FORTIFY_SOURCE=2)
add_compile_options(
    -fstack-protector-strong -fstack-clash-protection -fcf-protection
    -Wformat -Werror=format-security -Wdate-time
    # The later map wins where both match, as for a build folder inside the source.
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
add_link_options(LINKER:-z,relro LINKER:-z,now)
set(KORVANDA_HARDENED ON)
