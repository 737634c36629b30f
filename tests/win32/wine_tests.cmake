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
