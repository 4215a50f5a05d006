#include "editor/TvxBackgroundRun.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <exception>
#include <thread>

namespace morvane {

namespace {

// Between two looks at the work's progress.
constexpr int vxPollIntervalMs = 40;
// The bar's steps when the total is known.
constexpr int vxBarSteps = 1000;

std::atomic<int> runsUnderWay{0};

// A progress dialog that the user cannot take away while the work goes on.
class TvxRunDialog : public QProgressDialog
{
public:
    TvxRunDialog(const QString& label, QWidget* parent) : QProgressDialog(label, QString(), 0, 0, parent)
    {
        setObjectName(QStringLiteral("RunProgressDialog"));
        setWindowTitle(QCoreApplication::applicationName());
        setAccessibleName(label);
        setWindowModality(Qt::ApplicationModal);
        setCancelButton(nullptr);
        setAutoClose(false);
        setAutoReset(false);
        setMinimumDuration(0);
    }
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

} // namespace

TvxBackgroundRun::TvxBackgroundRun(QWidget* parent, QString label) : parent_(parent), label_(std::move(label)) {}

bool TvxBackgroundRun::Running()
{
    return runsUnderWay.load() > 0;
}

void TvxBackgroundRun::Progress(const std::string& item, std::int64_t done, std::int64_t total)
{
    const std::lock_guard lock(mutex_);
    item_ = item;
    done_ = done;
    total_ = total;
}

void TvxBackgroundRun::Run(const std::function<void()>& work)
{
    struct Counted
    {
        Counted() { ++runsUnderWay; }
        ~Counted() { --runsUnderWay; }
    } counted;

    TvxRunDialog dialog(label_, parent_);
    dialog.show();

    std::atomic<bool> finished{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
    });

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (finished) {
            loop.quit();
            return;
        }
        std::string item;
        std::int64_t done = 0;
        std::int64_t total = 0;
        {
            const std::lock_guard lock(mutex_);
            item = item_;
            done = done_;
            total = total_;
        }
        if (item.empty()) {
            dialog.setLabelText(label_);
        } else {
            QString line = QStringLiteral("Tabela %1").arg(QString::fromStdString(item));
            if (total > 0)
                line += QStringLiteral(": %1 de %2 registros").arg(done).arg(total);
            dialog.setLabelText(label_ + QLatin1Char('\n') + line);
        }
        if (total > 0) {
            dialog.setMaximum(vxBarSteps);
            dialog.setValue(static_cast<int>(std::min<std::int64_t>(done, total) * vxBarSteps / total));
        } else {
            dialog.setMaximum(0);
        }
    });
    poll.start(vxPollIntervalMs);
    if (!finished)
        loop.exec();
    worker.join();
    dialog.hide();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace morvane
