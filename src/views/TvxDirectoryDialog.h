#pragma once
// TvxDirectoryDialog: the choice of a directory (the toolkit's own dialog, directories only).
// With creation allowed a typed directory that does not exist is accepted as well, exactly as
// typed (its button stays enabled), for the caller to create after asking; otherwise only an
// existing directory is. F1 asks for help.

#include <QFileDialog>

#include <functional>

namespace morvane {

class TvxDirectoryDialog : public QFileDialog
{
    Q_OBJECT

public:
    // start: the directory shown first (empty: the working directory).
    TvxDirectoryDialog(QWidget* parent, const QString& start, bool allowCreate);

    // The directory chosen, after the dialog closed with OK.
    QString ChosenDirectory() const { return chosen_; }

    // Run on F1.
    std::function<void()> OnHelp;

public slots:
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What the file-name box holds, as a path from the directory shown; empty when blank.
    QString TypedPath() const;

    bool allowCreate_;
    QString chosen_;
};

} // namespace morvane
