#pragma once
// Drop-down lists as screen readers see them: named by their accessible name or their label,
// however the chosen entry changes, with the chosen entry as their value. (The toolkit's own
// description names a drop-down list on this platform after its chosen entry.)

namespace morvane {

// Puts the description in place for every QComboBox of the program; calling it again does
// nothing. Call once the application object exists.
void vxInstallAccessibleComboBox();

} // namespace morvane
