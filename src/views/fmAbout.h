#pragma once
// About box: product name and version, file version and legal notice from the program's
// version texts, and the maker's web address, which opens in the user's browser.

#include <QDialog>

class QLabel;
class QPushButton;

namespace morvane {

class TvxResourceVersion;

class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    // The texts come from the given version texts, read while the box is built.
    explicit TfrmAbout(const TvxResourceVersion& version, QWidget* parent = nullptr);

    static QString WebAddress();

public slots:
    // Asks the desktop to open the link label's address.
    void lbLinkClick();

protected:
    QLabel* imgLogo = nullptr;
    QLabel* lbProductName = nullptr;
    QLabel* lbl1FileVersion = nullptr;
    QLabel* lblFileVersion = nullptr;
    QLabel* lbLegal = nullptr;
    QLabel* lbLink = nullptr;
    QPushButton* btnOK = nullptr;
};

} // namespace morvane
