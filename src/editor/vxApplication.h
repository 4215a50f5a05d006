#pragma once
// Start-up of the program: the application's title, the toolkit's translation, the version
// texts, and the main window.

class QApplication;
class QLocale;

namespace morvane {

// The toolkit's own texts (file dialogs, standard buttons) in the language of locale, from the
// translations installed with the toolkit; false (and English texts) when there are none.
bool vxLoadToolkitTranslation(QApplication& app, const QLocale& locale);

// Sets the application title ("Morvane") that captions every message box and names the
// settings, loads the toolkit's translation for the system's language, reads the version texts
// before any window exists, and names drop-down lists for screen readers by their labels.
void vxInitApplication(QApplication& app);

} // namespace morvane
