#pragma once
// Where the program's files live on the host. The only code that reads the process
// environment; everything else is handed these folders.

#include <string>

namespace ledgerix::platform {

// The device root: $XDG_DATA_HOME/ledgerix when that variable holds an absolute path,
// otherwise ~/.local/share/ledgerix. Empty when no home folder can be found.
std::string DefaultDeviceRoot();

// The user's documents folder, behind the device folder "\My Documents": ~/Documents.
// Empty when no home folder can be found.
std::string DefaultDocumentsFolder();

// The folder of the running executable (where the companion programs are looked up), from
// /proc/self/exe. Empty when it cannot be read.
std::string ExecutableFolder();

// Whether the process is told where to show windows: DISPLAY or WAYLAND_DISPLAY is set, or
// QT_QPA_PLATFORM names a platform (such as "offscreen"). Without one the screens cannot start.
bool DisplayNamed();

// The folder for temporary files: $TMPDIR when it holds an absolute path, otherwise /tmp.
std::string TemporaryFolder();

}  // namespace ledgerix::platform
