# How the setup's own C++ code is compiled, beyond the size options of the
# whole Windows build:
# - without exception tables (-fno-exceptions): nothing in the setup catches
#   an exception, so the first one ends the process (app/terminate_handler.cpp)
#   whether or not the frames it passes have cleanups. The frames keep their
#   unwind records (.pdata), as every non-leaf function on x64 must.
# - without run-time type information (-fno-rtti): nothing asks for a type.
# - for link-time optimisation, in one partition (the setup's code is small):
#   the linker sees the code whole and keeps only what is called. The objects
#   carry their ordinary code as well (-ffat-lto-objects) for the tests, which
#   link them without it.
#
# The files that the payload's uninstaller carries as well keep their
# options: the installed uninstaller stays byte for byte the same.
set(PIXELMOOR_UNINSTALLER_SHARED_SOURCES
  framework/dll_search.cpp
  framework/resource_strings.cpp
  framework/text_rules.cpp
  framework/win_app.cpp
  install/install_folder_rules.cpp
  install/install_log.cpp
  install/install_log_text.cpp
  install/installation_lock.cpp
  install/settings_rules.cpp
  integration/association_rules.cpp
  integration/format_table.cpp
  integration/registration_removal.cpp
  integration/registration_rules.cpp
  integration/registry_removal_apply.cpp
  integration/shortcut_rules.cpp)
set(PIXELMOOR_SETUP_CODE_OPTIONS -fno-exceptions -fno-rtti -flto -ffat-lto-objects)

set(PIXELMOOR_SETUP_CODE_TARGETS
  pixelmoor_setup pm_app_rules pm_framework pm_framework_rules pm_install pm_install_rules
  pm_archive pm_archive_rules pm_integration pm_integration_rules pm_wizard pm_wizard_rules)

foreach(target ${PIXELMOOR_SETUP_CODE_TARGETS})
  get_target_property(sources ${target} SOURCES)
  get_target_property(directory ${target} SOURCE_DIR)
  foreach(source ${sources})
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${directory})
    file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${path})
    if(relative MATCHES "\\.cpp$" AND NOT relative IN_LIST PIXELMOOR_UNINSTALLER_SHARED_SOURCES)
      set_property(SOURCE ${path} TARGET_DIRECTORY ${target} APPEND PROPERTY COMPILE_OPTIONS
        ${PIXELMOOR_SETUP_CODE_OPTIONS})
    endif()
  endforeach()
endforeach()
# The link's own optimisation level is the size one, not the build type's.
target_link_options(pixelmoor_setup PRIVATE -flto -flto-partition=none -Os)
# Sections start on whole pages in the file, so that Wine maps the payload
# resource from the file as it is read instead of copying all of it into
# memory when the setup starts (at 80 MB about 60 ms and as much memory).
target_link_options(pixelmoor_setup PRIVATE -Wl,--file-alignment=0x1000)
