# The Windows programs, cross-built with mingw-w64 in a build of their own
# (build/win) and placed beside the Linux ones: build/bin/Robot.dat (the
# Windows stub, the default image of package.exe) and
# build/bin/win/tolvane-cli.exe with its own Robot.dat beside it.
include(ExternalProject)

set(TOLVANE_WIN_DIR ${CMAKE_BINARY_DIR}/win)
set(launcher "")
if(CMAKE_CXX_COMPILER_LAUNCHER)
  set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
ExternalProject_Add(tolvane_windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${TOLVANE_WIN_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DTOLVANE_BUILD_GUI=OFF
    -DTOLVANE_BUILD_TESTS=OFF
    ${launcher}
  INSTALL_COMMAND ""
  # The sources are this project's own: look at them on every build.
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${TOLVANE_WIN_DIR}/bin/Robot.dat ${TOLVANE_WIN_DIR}/bin/tolvane-cli.exe
  USES_TERMINAL_BUILD ON)

add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/bin/Robot.dat ${CMAKE_BINARY_DIR}/bin/win/tolvane-cli.exe
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TOLVANE_WIN_DIR}/bin/Robot.dat
          ${CMAKE_BINARY_DIR}/bin/Robot.dat
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin/win
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TOLVANE_WIN_DIR}/bin/tolvane-cli.exe
          ${TOLVANE_WIN_DIR}/bin/Robot.dat ${CMAKE_BINARY_DIR}/bin/win/
  DEPENDS tolvane_windows ${TOLVANE_WIN_DIR}/bin/Robot.dat ${TOLVANE_WIN_DIR}/bin/tolvane-cli.exe
  COMMENT "Robot.dat and win/tolvane-cli.exe: the Windows programs beside the Linux ones")
add_custom_target(windows_programs ALL
  DEPENDS ${CMAKE_BINARY_DIR}/bin/Robot.dat ${CMAKE_BINARY_DIR}/bin/win/tolvane-cli.exe)
