# Installs the build in BUILD_DIR into a scratch DESTDIR under the prefix /usr, as a package
# would, and checks what a desktop needs: both programs side by side and nothing else installed,
# the menu entry (valid for desktop-file-validate when that is installed) starting an installed
# program and naming the installed icon; the installed program answers --version.
# Run by CTest: cmake -DBUILD_DIR=... -DSCRATCH=... -P install_check.cmake
file(REMOVE_RECURSE "${SCRATCH}")
set(ENV{DESTDIR} "${SCRATCH}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${installed}")
endif()
# Exactly these files: no tests, benchmarks, tools, libraries or headers.
set(expected usr/bin/ldxload usr/bin/ledgerix usr/share/applications/ledgerix.desktop
    usr/share/icons/hicolor/scalable/apps/ledgerix.svg)
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SCRATCH}" "${SCRATCH}/*")
list(SORT files)
if(NOT files STREQUAL expected)
  message(FATAL_ERROR "installed ${files}\nexpected ${expected}")
endif()
# The menu starts the program by name from the search path and shows the installed icon.
set(entry "${SCRATCH}/usr/share/applications/ledgerix.desktop")
file(STRINGS "${entry}" exec REGEX "^Exec=")
file(STRINGS "${entry}" icon REGEX "^Icon=")
if(NOT exec STREQUAL "Exec=ledgerix" OR NOT icon STREQUAL "Icon=ledgerix")
  message(FATAL_ERROR "the menu entry says ${exec} and ${icon}")
endif()
find_program(validate desktop-file-validate)
if(validate)
  execute_process(COMMAND ${validate} "${entry}"
                  RESULT_VARIABLE valid OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(NOT valid EQUAL 0 OR NOT said STREQUAL "")
    message(FATAL_ERROR "the desktop entry is not valid: ${said}")
  endif()
else()
  message(STATUS "desktop-file-validate is not installed: the entry is not validated")
endif()
execute_process(COMMAND "${SCRATCH}/usr/bin/ledgerix" --version RESULT_VARIABLE ran
                OUTPUT_VARIABLE version)
if(NOT ran EQUAL 0 OR NOT version MATCHES "^ledgerix [0-9]+\\.[0-9]+")
  message(FATAL_ERROR "the installed ledgerix --version answered ${ran}: ${version}")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
