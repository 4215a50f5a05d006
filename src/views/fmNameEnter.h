#pragma once
// TFormNameEnter: the name-entry dialog, one labelled edit with OK and Cancel (English
// captions; the program shows TFormNameEnterPOR). The caller proposes a text through
// EnteredText, shows the dialog modally and reads EnteredText back after OK. Cancel, by its
// button or the Escape key, empties the edit first, so a cancelled dialog reads back empty.
// The dialog checks nothing of what is typed.

#include <QDialog>

class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvane {

class TFormNameEnter : public QDialog
{
    Q_OBJECT

public:
    TFormNameEnter(QWidget* Owner, const QString& LabelCaption, const QString& FormCaption);

    QString EnteredText() const;
    void SetEnteredText(const QString& text);

    QLabel* LabelText = nullptr;
    QLineEdit* EditText = nullptr;
    QPushButton* BitBtnOk = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    QFrame* pnLine = nullptr;

public slots:
    // Empties the edit, then closes with the Cancel result.
    void reject() override;

protected:
    // The grid of labelled fields left of the line: row 0 holds the label and the edit;
    // descendants add their rows below.
    QGridLayout* Fields() const { return fields_; }

private:
    QGridLayout* fields_ = nullptr;
};

} // namespace morvane
