#pragma once
// TvxDelayedProgress: progress of long work done on the window's thread. The dialog appears
// only once the work has lasted a short while; from then on every step repaints the windows
// (at most a few dozen times a second) and the user may cancel, which makes the next Step throw
// EvxAbort.

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace morvane {

class TvxDelayedProgress
{
public:
    // parent: the window the dialog blocks while shown (may be null).
    TvxDelayedProgress(QWidget* parent, QString label, int delayMs = 500);
    ~TvxDelayedProgress();
    TvxDelayedProgress(const TvxDelayedProgress&) = delete;
    TvxDelayedProgress& operator=(const TvxDelayedProgress&) = delete;

    // done of total steps finished. Throws EvxAbort once the user has cancelled.
    void Step(int done, int total);
    // Whether the dialog has been shown.
    bool Shown() const;

private:
    QWidget* parent_;
    QString label_;
    int delayMs_;
    QElapsedTimer started_;
    QElapsedTimer lastPaint_;
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace morvane
