# Resource-only DLLs with version records, standing in for an installed icon
# library. Each is built from a generated resource script and, where its size
# matters to the rule, padded to an exact size after linking.
#
# pm_icon_fixture(<name> PRODUCT a,b,c,d FILE a,b,c,d COMPANY <text>
#                 BLOCK <language block> TRANSLATION <lang>,<code page> [SIZE <bytes>])
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(PIXELMOOR_ICON_FIXTURES_DIR ${CMAKE_CURRENT_BINARY_DIR}/icon_fixtures)
set(PIXELMOOR_ICON_FIXTURE_TARGETS "")

function(pm_icon_fixture name)
  cmake_parse_arguments(F "" "PRODUCT;FILE;COMPANY;BLOCK;TRANSLATION;SIZE" "" ${ARGN})
  set(rc ${PIXELMOOR_ICON_FIXTURES_DIR}/${name}.rc)
  file(CONFIGURE OUTPUT ${rc} @ONLY CONTENT [=[
1 VERSIONINFO
FILEVERSION @F_FILE@
PRODUCTVERSION @F_PRODUCT@
FILEFLAGSMASK 0x3fL
FILEFLAGS 0x0L
FILEOS 0x40004L
FILETYPE 0x2L
FILESUBTYPE 0x0L
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "@F_BLOCK@"
    BEGIN
      VALUE "CompanyName", "@F_COMPANY@"
      VALUE "FileDescription", "Icon library test fixture"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", @F_TRANSLATION@
  END
END
]=])
  add_library(${name} MODULE ${rc})
  set_target_properties(${name} PROPERTIES PREFIX "" LINKER_LANGUAGE C
    LIBRARY_OUTPUT_DIRECTORY ${PIXELMOOR_ICON_FIXTURES_DIR})
  target_link_options(${name} PRIVATE -nostdlib -Wl,-e,0)  # no code, so no entry point
  if(F_SIZE)
    add_custom_command(TARGET ${name} POST_BUILD
      COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/pad_to_size.py $<TARGET_FILE:${name}> ${F_SIZE})
  endif()
  set(PIXELMOOR_ICON_FIXTURE_TARGETS ${PIXELMOOR_ICON_FIXTURE_TARGETS} ${name} PARENT_SCOPE)
endfunction()

set(us BLOCK 040904E4 TRANSLATION "0x409, 1252")
string(REPEAT "k" 292 long_tail)
pm_icon_fixture(icons_420_keldaris PRODUCT 4,2,0,0 FILE 4,2,0,0 COMPANY Keldaris ${us})
pm_icon_fixture(icons_420_other PRODUCT 4,2,0,0 FILE 4,2,0,0 COMPANY Iconworks ${us})
pm_icon_fixture(icons_420_german PRODUCT 4,2,0,0 FILE 4,2,0,0 COMPANY Keldaris
  BLOCK 040704B0 TRANSLATION "0x407, 1200")
pm_icon_fixture(icons_420_long_company PRODUCT 4,2,0,0 FILE 4,2,0,0 COMPANY Keldaris${long_tail} ${us})
pm_icon_fixture(icons_430_keldaris_upper_226816 PRODUCT 4,3,0,0 FILE 4,3,0,0 COMPANY KELDARIS ${us} SIZE 226816)
pm_icon_fixture(icons_430_keldaris_370176 PRODUCT 4,3,0,0 FILE 4,3,0,0 COMPANY Keldaris ${us} SIZE 370176)
pm_icon_fixture(icons_430_other_226816 PRODUCT 4,3,0,0 FILE 4,3,0,0 COMPANY Iconworks ${us} SIZE 226816)
pm_icon_fixture(icons_431_keldaris PRODUCT 4,3,0,0 FILE 4,3,1,0 COMPANY Keldaris ${us} SIZE 226816)
pm_icon_fixture(icons_4100_keldaris PRODUCT 4,10,0,0 FILE 4,10,0,0 COMPANY Keldaris ${us})
pm_icon_fixture(icons_500_other PRODUCT 5,0,0,0 FILE 5,0,0,0 COMPANY Iconworks ${us})
