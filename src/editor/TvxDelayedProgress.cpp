#include "editor/TvxDelayedProgress.h"

#include "script/EvxAbort.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace morvane {

namespace {

// Between two repaints while the dialog is shown.
constexpr int vxPaintIntervalMs = 40;

} // namespace

TvxDelayedProgress::TvxDelayedProgress(QWidget* parent, QString label, int delayMs)
    : parent_(parent), label_(std::move(label)), delayMs_(delayMs)
{
    started_.start();
}

TvxDelayedProgress::~TvxDelayedProgress() = default;

bool TvxDelayedProgress::Shown() const
{
    return dialog_ != nullptr;
}

void TvxDelayedProgress::Step(int done, int total)
{
    if (!dialog_) {
        if (started_.elapsed() < delayMs_ || done >= total)
            return;
        dialog_ = std::make_unique<QProgressDialog>(label_, QStringLiteral("Cancelar"), 0, total, parent_);
        dialog_->setObjectName(QStringLiteral("ProgressDialog"));
        dialog_->setWindowTitle(QCoreApplication::applicationName());
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumDuration(0);
        dialog_->setValue(done);
        dialog_->show();
        lastPaint_.invalidate();
    }
    if (lastPaint_.isValid() && lastPaint_.elapsed() < vxPaintIntervalMs && done < total)
        return;
    dialog_->setMaximum(total);
    dialog_->setValue(done);
    // Paints the dialog and the window behind it, and takes the user's click on Cancel.
    QCoreApplication::processEvents();
    lastPaint_.start();
    if (dialog_->wasCanceled())
        throw EvxAbort();
}

} // namespace morvane
