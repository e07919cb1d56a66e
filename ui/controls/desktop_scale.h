#pragma once
// Enlarging the device screen on the desktop: before the program's QApplication exists, choose
// the largest whole factor by which 240 x 320 fits the primary screen and hand it to Qt.

namespace ledgerix {

// The factor for the primary screen's available area (DeviceScaleFactor), at least 1. Asks the
// running application when there is one; otherwise starts a short-lived one just to look.
int DesktopScaleFactor(int argc, char** argv);

// Sets QT_SCALE_FACTOR to DesktopScaleFactor unless the person has set it; call before the
// QApplication is made. Answers the factor in use.
int ApplyDesktopScale(int argc, char** argv);

}  // namespace ledgerix
