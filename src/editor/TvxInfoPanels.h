#pragma once
// TvxInfoPanels: the fourteen read-only value fields of an "Informações" tab, one set per half
// of the main window, each named by its caption label. The window's layout creates them;
// TvxTablePanels fills them.

class QLineEdit;

namespace morvane {

struct TvxInfoPanels
{
    QLineEdit* tableType = nullptr;
    QLineEdit* recordSize = nullptr;
    QLineEdit* bufferSize = nullptr;
    QLineEdit* fieldCount = nullptr;
    QLineEdit* indexCount = nullptr;
    QLineEdit* valCheckCount = nullptr;
    QLineEdit* refIntCount = nullptr;
    QLineEdit* date = nullptr;
    QLineEdit* time = nullptr;
    QLineEdit* restructureVersion = nullptr;
    QLineEdit* codePage = nullptr;
    QLineEdit* tableLevel = nullptr;
    QLineEdit* languageDriver = nullptr;
    QLineEdit* blockSize = nullptr;
};

} // namespace morvane
