# The product's compiled code, and what each build links to it.
#
# A setup is the product's code (compiled once: libraries and the objects of
# both programs) linked with what follows from its version and its payload:
# the version's definition, the payload's reach and facts, the uninstaller's
# entry list (compiled from small generated headers) and the resources. A Windows build
# exports its compiled code; a build configured with PIXELMOOR_PRODUCT_FROM
# imports it and only makes the rest, so that a setup of other viewer files,
# another version or with signatures costs packing, resource compiling and
# two links, not a compilation of the whole product (tools/release.sh).

# Everything of the product that is compiled once, in link order.
set(PIXELMOOR_EXPORTED_PRODUCT_CODE
  pm_setup_program pm_app_rules pm_wizard pm_wizard_rules pm_install pm_install_rules
  pm_uninstall_program pm_uninstall_lib pm_uninstall_rules pm_integration pm_integration_rules
  pm_archive pm_archive_rules pm_contract pm_contract_rules pm_framework pm_framework_rules minizip zlib_static)
set(PIXELMOOR_PRODUCT_CODE_FILE pixelmoor-product-code.cmake)

# Writes the product's compiled code into this build's folder as imported
# targets for other builds; target pm_product_code builds all of it.
function(pm_export_product_code)
  if(NOT CMAKE_CROSSCOMPILING)
    return()
  endif()
  export(TARGETS ${PIXELMOOR_EXPORTED_PRODUCT_CODE} FILE ${CMAKE_BINARY_DIR}/${PIXELMOOR_PRODUCT_CODE_FILE})
  add_custom_target(pm_product_code DEPENDS ${PIXELMOOR_EXPORTED_PRODUCT_CODE})
endfunction()

function(pm_import_product_code build)
  set(file ${build}/${PIXELMOOR_PRODUCT_CODE_FILE})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "PIXELMOOR_PRODUCT_FROM: ${file} is missing; name a configured Windows build (build/windows)")
  endif()
  include(${file})
endfunction()

# What each build compiles itself, because it follows from the version and
# the payload:
# - pm_product_version: the version's definition (contract/product_version.cpp),
#   for the programs, the tests and the tools alike;
# - pm_payload_reach: how far the payload reaches below an install folder
#   (archive/payload_reach.cpp over payload_extent.h, made by payload/), and
#   the files it installs with the uninstaller's digest (archive/payload_files.cpp
#   over payload_file_list.h);
# - pm_payload_facts: what an installation records of the payload, its size
#   and its icon library's version (archive/payload_facts.cpp over
#   payload_record.h, which payload/ reads from the packed archive). Only the
#   setup and the tests link it: the uninstaller is packed into that archive.
add_library(pm_product_version OBJECT ${CMAKE_SOURCE_DIR}/contract/product_version.cpp)
target_include_directories(pm_product_version PRIVATE ${CMAKE_SOURCE_DIR} ${PIXELMOOR_VERSION_INCLUDE_DIR})
if(CMAKE_CROSSCOMPILING)
  add_library(pm_payload_reach OBJECT ${CMAKE_SOURCE_DIR}/archive/payload_reach.cpp
    ${CMAKE_SOURCE_DIR}/archive/payload_files.cpp)
  target_include_directories(pm_payload_reach PRIVATE ${CMAKE_BINARY_DIR}/payload/include)
  target_link_libraries(pm_payload_reach PUBLIC pm_framework pm_archive_rules)
  add_dependencies(pm_payload_reach pm_payload_extent pm_payload_files)
  add_library(pm_payload_facts OBJECT ${CMAKE_SOURCE_DIR}/archive/payload_facts.cpp)
  target_include_directories(pm_payload_facts PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/payload/include)
  add_dependencies(pm_payload_facts pm_payload_facts_header)
endif()

# Signs a program right after its link, when PIXELMOOR_SIGN_COMMAND names a
# command for it: what is packed or shipped afterwards is the signed file.
function(pm_sign_after_link target)
  if(PIXELMOOR_SIGN_COMMAND)
    separate_arguments(command UNIX_COMMAND "${PIXELMOOR_SIGN_COMMAND}")
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${command} $<TARGET_FILE:${target}>
      COMMENT "Signing $<TARGET_FILE_NAME:${target}>"
      VERBATIM)
  endif()
endfunction()
