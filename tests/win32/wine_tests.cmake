# The Win32 window's services under wine, with the environment and fixture of
# tests/windows (included from there).
add_test(NAME wine_win32_ui COMMAND ${CMAKE_COMMAND} -E env ${wine_env}
         bash ${CMAKE_SOURCE_DIR}/tests/win32/win32_ui_test.sh
         ${CMAKE_BINARY_DIR}/win/bin/win32_ui_test.exe)
add_test(NAME wine_installer COMMAND ${CMAKE_COMMAND} -E env ${wine_env}
         TOLVANE_HELP_FILE=${CMAKE_SOURCE_DIR}/resources/hilfe.htm
         bash ${CMAKE_SOURCE_DIR}/tests/win32/installer_test.sh)
add_test(NAME wine_window COMMAND ${CMAKE_COMMAND} -E env ${wine_env}
         bash ${CMAKE_SOURCE_DIR}/tests/win32/window_test.sh
         ${CMAKE_BINARY_DIR}/win/bin/tolvane.exe ${CMAKE_BINARY_DIR}/win/bin/window_driver.exe)

# The GUI tests on the Win32 backend (tests/gui/win32): one test per source
# file, each running that file's tests in tolvane_gui_tests.exe, less those
# wine cannot pass (tests/gui/win32/wine_exclusions.txt, with their reasons).
# The names are read from the sources, so that listing needs no wine prefix.
set(win32_gui_sources
  tests/gui/win32/win32_probe_test.cpp
  tests/gui/win32/custom_size_dialog_test.cpp
  tests/gui/framework_test.cpp
  tests/gui/information_page_test.cpp
  tests/gui/completion_page_test.cpp
  tests/gui/desktop_test.cpp
  tests/gui/split_wizard_test.cpp
  tests/gui/restore_wizard_test.cpp
  tests/gui/continue_wizard_test.cpp
  tests/gui/repair_wizard_test.cpp
  tests/gui/open_file_test.cpp)
set(win32_gui_exe ${CMAKE_BINARY_DIR}/win/bin/tolvane_gui_tests.exe)
set(win32_gui_exclusions ${CMAKE_SOURCE_DIR}/tests/gui/win32/wine_exclusions.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${win32_gui_exclusions})
file(STRINGS ${win32_gui_exclusions} excluded REGEX "^[A-Za-z0-9_]+\\.[A-Za-z0-9_]+")
list(TRANSFORM excluded REPLACE "^([A-Za-z0-9_.]+).*" "\\1")
list(JOIN excluded ":" excluded)
set(TOLVANE_WIN32_GUI_TESTS "")
foreach(source IN LISTS win32_gui_sources)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${source})
  file(STRINGS ${CMAKE_SOURCE_DIR}/${source} lines REGEX "^TEST(_F)?\\(")
  list(TRANSFORM lines REPLACE "^TEST(_F)?\\(([A-Za-z0-9_]+), *([A-Za-z0-9_]+)\\).*" "\\2.\\3")
  list(JOIN lines ":" filter)
  if(excluded)
    string(APPEND filter "-${excluded}")
  endif()
  get_filename_component(name ${source} NAME_WE)
  add_test(NAME win32_gui_${name}
           COMMAND ${CMAKE_COMMAND} -E env ${wine_env}
                   bash ${CMAKE_SOURCE_DIR}/tests/win32/win32_ui_test.sh ${win32_gui_exe}
                   --gtest_filter=${filter})
  list(APPEND TOLVANE_WIN32_GUI_TESTS win32_gui_${name})
endforeach()
