#pragma once
// TvxReportDialog: a report to read before deciding (the update server's preview): the text in
// a scrollable read-only box, the question under it, and the buttons "&Sim" and "&Não" (the
// default, so that Enter does not go on).

#include <QDialog>

class QPlainTextEdit;

namespace morvane {

class TvxReportDialog : public QDialog
{
public:
    TvxReportDialog(const QString& caption, const QString& report, const QString& question,
                    QWidget* parent = nullptr);

    // True when the user answered Yes.
    bool Ask();

    QPlainTextEdit* Report() const { return report_; }

private:
    QPlainTextEdit* report_;
};

} // namespace morvane
