#pragma once
// Start-up of the program: the application's title, the version texts, and the main window.

class QApplication;

namespace morvane {

// Sets the application title ("Morvane") that captions every message box, reads the version
// texts before any window exists, and names drop-down lists for screen readers by their labels.
void vxInitApplication(QApplication& app);

} // namespace morvane
