# The Windows programs, cross-built with mingw-w64 (cmake/mingw-w64-i686.cmake)
# in a build of their own (build/win) and placed beside the Linux ones:
# build/bin/Robot.dat (the Windows stub, the default image of package.exe) and
# build/bin/win/tolvane.exe and tolvane-cli.exe with their own Robot.dat
# beside them.
include(ExternalProject)

set(TOLVANE_WIN_DIR ${CMAKE_BINARY_DIR}/win)
# Each program as "file in build/win/bin=place below build/bin"; a new
# Windows program is one more line here.
set(TOLVANE_WINDOWS_PROGRAMS
  Robot.dat=Robot.dat
  tolvane-cli.exe=win/tolvane-cli.exe
  Robot.dat=win/Robot.dat)
# The window program shows pictures that the Qt part of this build renders
# for it (resources/CMakeLists.txt): without the Qt programs there is none.
if(TOLVANE_BUILD_GUI)
  list(APPEND TOLVANE_WINDOWS_PROGRAMS tolvane.exe=win/tolvane.exe)
endif()

# CMake keeps the compiler of an existing build tree whatever tool chain file
# it is given later: a build/win made for another target (the x86-64 one of
# earlier versions) would go on building that. It is made anew.
if(EXISTS ${TOLVANE_WIN_DIR}/CMakeCache.txt)
  file(STRINGS ${TOLVANE_WIN_DIR}/CMakeCache.txt linker REGEX "^CMAKE_LINKER:")
  if(linker AND NOT linker MATCHES "/i686-w64-mingw32-ld$")
    message(STATUS "${TOLVANE_WIN_DIR} was made for another target: made anew")
    file(REMOVE_RECURSE ${TOLVANE_WIN_DIR} ${CMAKE_BINARY_DIR}/tolvane_windows-prefix)
  endif()
endif()

set(launcher "")
if(CMAKE_CXX_COMPILER_LAUNCHER)
  set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
set(built "")
set(placed "")
set(copies "")
foreach(program IN LISTS TOLVANE_WINDOWS_PROGRAMS)
  string(REPLACE "=" ";" parts ${program})
  list(GET parts 0 from)
  list(GET parts 1 to)
  list(APPEND built ${TOLVANE_WIN_DIR}/bin/${from})
  list(APPEND placed ${CMAKE_BINARY_DIR}/bin/${to})
  get_filename_component(folder ${CMAKE_BINARY_DIR}/bin/${to} DIRECTORY)
  list(APPEND copies
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TOLVANE_WIN_DIR}/bin/${from}
            ${CMAKE_BINARY_DIR}/bin/${to})
endforeach()
list(REMOVE_DUPLICATES built)

ExternalProject_Add(tolvane_windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${TOLVANE_WIN_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-i686.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DTOLVANE_BUILD_GUI=OFF
    # Only the GUI tests of the Win32 window are built there, for wine.
    -DTOLVANE_BUILD_TESTS=${TOLVANE_BUILD_TESTS}
    ${launcher}
  INSTALL_COMMAND ""
  # The sources are this project's own: look at them on every build.
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${built}
  USES_TERMINAL_BUILD ON)

add_custom_command(
  OUTPUT ${placed}
  ${copies}
  DEPENDS tolvane_windows ${built}
  COMMENT "The Windows programs beside the Linux ones: Robot.dat, win/")
add_custom_target(windows_programs ALL DEPENDS ${placed})
