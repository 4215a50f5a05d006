#pragma once
// TvxBackgroundRun: long work (an update-server run) done off the window's thread while a modal
// progress dialog keeps the windows painted and takes every input meant for them. The work
// cannot be stopped half-way, so the dialog offers no Cancel and ignores Esc and closing.
// Progress may be reported from any thread; the dialog shows it a few times a second. What the
// work throws is thrown again by Run, on the window's thread.

#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

class QWidget;

namespace morvane {

class TvxBackgroundRun
{
public:
    // parent: the window the dialog blocks (may be null).
    TvxBackgroundRun(QWidget* parent, QString label);

    // From the work: the item being done (a table name, UTF-8), the units done and the total
    // (0: not known).
    void Progress(const std::string& item, std::int64_t done, std::int64_t total);

    // Runs work on another thread and returns once it has ended.
    void Run(const std::function<void()>& work);

    // Whether a run is under way (on any instance).
    static bool Running();

private:
    QWidget* parent_;
    QString label_;
    std::mutex mutex_;
    std::string item_;
    std::int64_t done_ = 0;
    std::int64_t total_ = 0;
};

} // namespace morvane
