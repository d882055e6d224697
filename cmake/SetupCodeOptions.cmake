# How the product's own C++ code (the setup and the uninstaller, with the
# libraries they are made of) is compiled, beyond the size options of the
# whole Windows build; one option set for all of it:
# - without exception tables (-fno-exceptions): nothing in the product
#   catches an exception, so the first one ends the process (for the setup,
#   app/terminate_handler.cpp) whether or not the frames it passes have
#   cleanups. The frames keep their unwind records (.pdata), as every
#   non-leaf function on x64 must.
# - without run-time type information (-fno-rtti): nothing asks for a type.
# - for link-time optimisation, in one partition (the code is small): the
#   linker sees a program whole and keeps only what is called. The objects
#   carry their ordinary code as well (-ffat-lto-objects) for the tests,
#   which link them without it.
set(PIXELMOOR_PRODUCT_CODE_OPTIONS -fno-exceptions -fno-rtti -flto -ffat-lto-objects)

set(PIXELMOOR_PRODUCT_CODE_TARGETS
  pixelmoor_setup pm_setup_program pm_app_rules pm_framework pm_framework_rules pm_contract pm_contract_rules pm_install pm_install_rules
  pm_archive pm_archive_rules pm_integration pm_integration_rules pm_wizard pm_wizard_rules
  pm_uninstall pm_uninstall_program pm_uninstall_lib pm_uninstall_rules
  pm_product_version pm_payload_reach pm_payload_digest pm_payload_facts pm_payload_entries_data)

# For the C++ sources only (the uninstaller's resource script is one of its
# sources). What a build imports (PIXELMOOR_PRODUCT_FROM) was compiled so
# by the build it comes from.
list(TRANSFORM PIXELMOOR_PRODUCT_CODE_OPTIONS REPLACE "(.+)" "$<$<COMPILE_LANGUAGE:CXX>:\\1>")
foreach(target ${PIXELMOOR_PRODUCT_CODE_TARGETS})
  get_target_property(imported ${target} IMPORTED)
  if(NOT imported)
    target_compile_options(${target} PRIVATE ${PIXELMOOR_PRODUCT_CODE_OPTIONS})
  endif()
endforeach()
# The link's own optimisation level is the size one, not the build type's.
target_link_options(pm_uninstall PRIVATE -flto -flto-partition=none -Os)
target_link_options(pixelmoor_setup PRIVATE -flto -flto-partition=none -Os)
