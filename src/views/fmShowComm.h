#pragma once
// TFormShowComm: the command-list window: the script's commands as text, one per line, under a
// strip holding the button that closes it.

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace morvane {

class TFormShowComm : public QDialog
{
    Q_OBJECT

public:
    explicit TFormShowComm(QWidget* Owner = nullptr);

    // The memo's lines.
    void SetLines(const QStringList& lines);
    QStringList Lines() const;

    QPushButton* Button1 = nullptr;
    QPlainTextEdit* Memo = nullptr;
};

} // namespace morvane
