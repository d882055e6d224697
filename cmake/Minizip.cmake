# minizip's unzip reader, compiled from the contrib folder of Debian's zlib
# source package, without decryption and without bzip2, over the inflating
# half of zlib compiled from the same package.
if(NOT PIXELMOOR_ZLIB_SOURCE_DIR OR NOT EXISTS "${PIXELMOOR_ZLIB_SOURCE_DIR}/contrib/minizip/unzip.c")
  message(FATAL_ERROR "PIXELMOOR_ZLIB_SOURCE_DIR must name an unpacked zlib source package (tools/deps.sh makes one)")
endif()
set(minizip_dir "${PIXELMOOR_ZLIB_SOURCE_DIR}/contrib/minizip")

# Only the inflating half (with uncompress for the tests' PNG reader),
# compiled like the setup's own code: small, every function in a section of
# its own. The CRC tables are computed once on first use instead of being
# carried in the file (zlib guards that computation with an atomic flag).
set(zlib_dir "${PIXELMOOR_ZLIB_SOURCE_DIR}")
add_library(zlib_static STATIC
  ${zlib_dir}/adler32.c
  ${zlib_dir}/crc32.c
  ${zlib_dir}/inffast.c
  ${zlib_dir}/inflate.c
  ${zlib_dir}/inftrees.c
  ${zlib_dir}/uncompr.c
  ${zlib_dir}/zutil.c)
target_include_directories(zlib_static SYSTEM PUBLIC ${zlib_dir})
target_compile_definitions(zlib_static PRIVATE DYNAMIC_CRC_TABLE)
# Without data sections: with them the compiler gives the tables (zeros
# until computed) data sections of their own that the file carries.
target_compile_options(zlib_static PRIVATE -w -fno-data-sections)

add_library(minizip STATIC
  ${minizip_dir}/unzip.c
  ${minizip_dir}/ioapi.c
  ${minizip_dir}/iowin32.c)
target_include_directories(minizip SYSTEM PUBLIC ${minizip_dir})
target_compile_definitions(minizip PUBLIC NOUNCRYPT)
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC zlib_static)
