#pragma once
// TvxInfoPanels: the fourteen read-only panels of an "Informações" tab, one set per half of
// the main window. The window's layout creates them; the table commands fill them.

class QLabel;

namespace morvane {

struct TvxInfoPanels
{
    QLabel* tableType = nullptr;
    QLabel* recordSize = nullptr;
    QLabel* bufferSize = nullptr;
    QLabel* fieldCount = nullptr;
    QLabel* indexCount = nullptr;
    QLabel* valCheckCount = nullptr;
    QLabel* refIntCount = nullptr;
    QLabel* date = nullptr;
    QLabel* time = nullptr;
    QLabel* restructureVersion = nullptr;
    QLabel* codePage = nullptr;
    QLabel* tableLevel = nullptr;
    QLabel* languageDriver = nullptr;
    QLabel* blockSize = nullptr;
};

} // namespace morvane
