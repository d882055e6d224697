# minizip's unzip reader, compiled from the contrib folder of Debian's zlib
# source package, without decryption and without bzip2, over Debian's static
# zlib for MinGW.
if(NOT PIXELMOOR_ZLIB_SOURCE_DIR OR NOT EXISTS "${PIXELMOOR_ZLIB_SOURCE_DIR}/contrib/minizip/unzip.c")
  message(FATAL_ERROR "PIXELMOOR_ZLIB_SOURCE_DIR must name an unpacked zlib source package (tools/deps.sh makes one)")
endif()
set(minizip_dir "${PIXELMOOR_ZLIB_SOURCE_DIR}/contrib/minizip")

find_library(PIXELMOOR_ZLIB_STATIC NAMES libz.a REQUIRED)
add_library(zlib_static STATIC IMPORTED GLOBAL)
set_target_properties(zlib_static PROPERTIES IMPORTED_LOCATION "${PIXELMOOR_ZLIB_STATIC}")

add_library(minizip STATIC
  ${minizip_dir}/unzip.c
  ${minizip_dir}/ioapi.c
  ${minizip_dir}/iowin32.c)
target_include_directories(minizip SYSTEM PUBLIC ${minizip_dir})
target_compile_definitions(minizip PUBLIC NOUNCRYPT)
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC zlib_static)
