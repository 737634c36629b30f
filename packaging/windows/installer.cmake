# The Windows installer build/bin/win/tolvane-setup.exe (NSIS, tolvane.nsi)
# and the portable build/bin/win/tolvane-VERSION-windows.zip, both of the
# Windows programs of the cross build and the help.
set(win_bin ${CMAKE_BINARY_DIR}/bin/win)
# The installed files, each one a line. The programs are taken from the cross
# build's own folder, where they are declared products of its build step, so
# that a changed program always remakes the installer.
set(TOLVANE_WINDOWS_FILES
  ${TOLVANE_WIN_DIR}/bin/tolvane.exe
  ${TOLVANE_WIN_DIR}/bin/tolvane-cli.exe
  ${TOLVANE_WIN_DIR}/bin/Robot.dat
  ${PROJECT_SOURCE_DIR}/resources/hilfe.htm)

find_program(MAKENSIS_PROGRAM makensis)
set(setup ${win_bin}/tolvane-setup.exe)
set(zip ${win_bin}/tolvane-${PROJECT_VERSION}-windows.zip)
set(files_nsh ${CMAKE_BINARY_DIR}/packaging/windows/files.nsh)
set(lines "")
foreach(file IN LISTS TOLVANE_WINDOWS_FILES)
  cmake_path(GET file FILENAME name)
  string(APPEND lines "!insertmacro TolvaneFile \"${file}\" \"${name}\"\n")
endforeach()
file(GENERATE OUTPUT ${files_nsh} CONTENT "${lines}")

# The programs are 64-bit when the cross compiler is.
set(programs64 "")
if(TOLVANE_MINGW_CXX MATCHES "x86_64")
  set(programs64 -DPROGRAMS64)
endif()

set(outputs ${zip})
if(MAKENSIS_PROGRAM)
  add_custom_command(
    OUTPUT ${setup}
    COMMAND ${MAKENSIS_PROGRAM} -V2 -DVERSION=${PROJECT_VERSION} -DOUTFILE=${setup}
            -DFILES=${files_nsh} ${programs64} ${CMAKE_CURRENT_LIST_DIR}/tolvane.nsi
    DEPENDS windows_programs ${TOLVANE_WINDOWS_FILES} ${files_nsh}
            ${CMAKE_CURRENT_LIST_DIR}/tolvane.nsi
    COMMENT "tolvane-setup.exe: the Windows installer"
    VERBATIM)
  list(APPEND outputs ${setup})
else()
  message(WARNING "makensis not found (Debian: nsis): no tolvane-setup.exe")
endif()

# The zip holds the files in a folder Tolvane-VERSION.
set(zip_dir ${CMAKE_BINARY_DIR}/packaging/windows/Tolvane-${PROJECT_VERSION})
add_custom_command(
  OUTPUT ${zip}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_dir} ${zip}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${TOLVANE_WINDOWS_FILES} ${zip_dir}
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/packaging/windows
          ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip Tolvane-${PROJECT_VERSION}
  DEPENDS windows_programs ${TOLVANE_WINDOWS_FILES}
  COMMENT "tolvane-${PROJECT_VERSION}-windows.zip: the portable Windows programs"
  VERBATIM)
add_custom_target(windows_installer ALL DEPENDS ${outputs})
