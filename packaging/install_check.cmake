# Installs the build in BUILD_DIR into a scratch DESTDIR under the prefix /usr, as a package
# would, and checks what a desktop needs: both programs side by side, the menu entry (valid for
# desktop-file-validate when that is installed) and the icon; the installed program answers
# --version. Run by CTest: cmake -DBUILD_DIR=... -DSCRATCH=... -P install_check.cmake
file(REMOVE_RECURSE "${SCRATCH}")
set(ENV{DESTDIR} "${SCRATCH}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${installed}")
endif()
foreach(path usr/bin/ledgerix usr/bin/ldxload usr/share/applications/ledgerix.desktop
        usr/share/icons/hicolor/scalable/apps/ledgerix.svg)
  if(NOT EXISTS "${SCRATCH}/${path}")
    message(FATAL_ERROR "not installed: /${path}")
  endif()
endforeach()
# Nothing but the programs goes to bin/: no tests, benchmarks or tools.
file(GLOB programs RELATIVE "${SCRATCH}/usr/bin" "${SCRATCH}/usr/bin/*")
if(NOT programs STREQUAL "ldxload;ledgerix")
  message(FATAL_ERROR "bin/ holds ${programs}")
endif()
find_program(validate desktop-file-validate)
if(validate)
  execute_process(COMMAND ${validate} "${SCRATCH}/usr/share/applications/ledgerix.desktop"
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
