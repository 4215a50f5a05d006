// A run killed at every step of its commit (TvxKillingFiles), then recovered: the target is
// wholly old or wholly new, a live database never lacks a table, no record is lost, no
// leftover stays, and the files we do not rewrite are carried or kept aside. The lock: a
// second run waits, then answers 306 naming the holder; a dead holder's lock is taken over.

#include "db/paradox/ParadoxWriterFiles.h"
#include "script/vxUpdateServerCodes.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/TvxFileLock.h"
#include "server/TvxTargetGuard.h"
#include "ServerRunFixture.h"
#include "support/TvxKillingFiles.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::JoinFiles;
using test::MakeField;
using test::TvxScriptMaker;

// The writer's file system without its flushes to disk: the kills are in the commit, and the
// many runs stay quick.
class TvxUnflushedFiles : public ParadoxWriterFiles
{
public:
    void sync(TvxFileHandle, const std::string&) override {}
    void syncFileSystem(const std::string&) override {}
    void syncDirectory(const std::string&) override {}
    void startWriteback(TvxFileHandle) noexcept override {}
};

class CommitCrashTest : public test::ServerRunTest
{
protected:
    int RunWith(const std::string& script, const std::string& source, const std::string& target,
                TvxPlatformFiles* platform)
    {
        TvxUnflushedFiles unflushed;
        TvxUpdateServer server(&unflushed, platform);
        server.SetSource(source);
        server.SetNewPath(target);
        server.SetScriptFile(script);
        const int code = server.Run();
        report = server.Report();
        return code;
    }

    // Kills run at every step in turn, each time on a fresh copy of pristine in dir; between
    // the kill and the recovery, every table of tables must still be there; then checks
    // (wholly old or wholly new, told by whether dir is as before). Returns the kill points.
    int KillEverywhere(const fs::path& pristine, const fs::path& dir, const std::vector<std::string>& tables,
                       const std::function<int(TvxPlatformFiles&)>& run, const std::function<void(bool old)>& checkNew)
    {
        const auto before = test::Fingerprint(pristine);
        int olds = 0;
        int news = 0;
        for (int n = 1;; ++n) {
            fs::remove_all(dir);
            fs::copy(pristine, dir, fs::copy_options::recursive);
            test::TvxKillingFiles killing(n);
            const int code = run(killing);
            if (!killing.Killed()) {
                EXPECT_EQ(code, vxRunOK) << report.Text();
                break;
            }
            for (const std::string& t : tables)
                EXPECT_TRUE(TvxParadoxTableReader(dir.string(), {}).FindTable(t)) << t << " missing at kill " << n;
            test::TvxKillingFiles unkilled;
            TvxTargetGuard(unkilled, dir.string()); // recovers, then lets go
            const bool old = test::Fingerprint(dir) == before;
            (old ? olds : news)++;
            if (!old)
                checkNew(old);
            for (const auto& [name, bytes] : test::Fingerprint(dir))
                EXPECT_TRUE(name.find(".morvane") == std::string::npos && name.find(".tmp-") == std::string::npos)
                    << name << " left after kill " << n;
            if (::testing::Test::HasFailure())
                return n;
        }
        EXPECT_GT(olds, 5);
        EXPECT_GT(news, 2) << "kills after the commit point leave the new tables";
        return olds + news;
    }
};

TEST_F(CommitCrashTest, UpdateIntoAFilledTargetIsWhollyOldOrWhollyNew)
{
    CopySamples(src, JoinFiles);
    TvxScriptMaker first;
    for (const char* t : {"A", "B", "C"})
        first.AddTable(t, src.string(), t);
    first.CreateTable("D");
    first.CreateField("D", MakeField("N", 0, fldLong));
    const fs::path pristine = tmp.path() / "pristine";
    ASSERT_EQ(Run(first.SaveUpdate(tmp.file("first.vxusp")), false, {}, nullptr, pristine.string()), vxRunOK);
    tmp.write("pristine/C.TV", "view of C");
    tmp.write("pristine/A.FAM", "family of A");
    tmp.write("pristine/KEEP.TXT", "the user's");
    tmp.write("source/B.TV", "view of B");

    const std::string script = SaveJoinsUpdate("second.vxusp");

    const int points = KillEverywhere(
        pristine, dst, {"A", "B", "C", "D"},
        [&](TvxPlatformFiles& files) { return RunWith(script, src.string(), dst.string(), &files); },
        [&](bool) {
            const auto rows = test::ReadAll(dst.string(), "C");
            ASSERT_EQ(rows.size(), 3u);
            EXPECT_EQ(rows[0][3], TvxFieldValue::Bytes("x"));
            EXPECT_TRUE(test::ReadAll(dst.string(), "NEW").empty());
            EXPECT_EQ(tmp.read("target/morvane-kept/C.TV"), "view of C") << "stale: C's fields changed";
            EXPECT_EQ(tmp.read("target/A.FAM"), "family of A") << "A kept its fields";
            EXPECT_EQ(tmp.read("target/B.TV"), "view of B") << "carried: B keeps its fields";
            EXPECT_EQ(tmp.read("target/KEEP.TXT"), "the user's");
        });
    EXPECT_GT(points, 20);
}

TEST_F(CommitCrashTest, MaintenanceInPlaceNeverLeavesTheLiveDatabaseWithoutATable)
{
    CopySamples(src, JoinFiles);
    tmp.write("source/A.TV", "view of A");
    tmp.write("source/C.FAM", "family of C");
    const auto rowsA = test::ReadAll(src.string(), "A");
    TvxScriptMaker m;
    m.AddTable("A", src.string(), "A");
    m.CreateField("A", MakeField("EXTRA", 0, fldLong));
    m.AddTable("C", src.string(), "C");
    const std::string script = m.SaveMaintenance(tmp.file("m.vxmsp"));
    const fs::path live = tmp.path() / "live";

    KillEverywhere(
        src, live, {"A", "B", "C"}, [&](TvxPlatformFiles& files) { return RunWith(script, live.string(), "", &files); },
        [&](bool) {
            EXPECT_EQ(test::ReadAll(live.string(), "A").size(), rowsA.size());
            EXPECT_EQ(tmp.read("live/morvane-kept/A.TV"), "view of A");
            EXPECT_EQ(tmp.read("live/C.FAM"), "family of C");
        });
    // After a kill, the run again finds its records, never an empty table.
    fs::remove_all(live);
    fs::copy(src, live, fs::copy_options::recursive);
    test::TvxKillingFiles killing(12);
    RunWith(script, live.string(), "", &killing);
    ASSERT_TRUE(killing.Killed());
    ASSERT_EQ(RunWith(script, live.string(), "", nullptr), vxRunOK) << report.Text();
    EXPECT_EQ(test::ReadAll(live.string(), "A").size(), rowsA.size());
    ASSERT_GE(report.notes.size(), 2u) << report.Text();
    EXPECT_NE(report.notes[0].find("taken over from process"), std::string::npos) << report.notes[0];
    EXPECT_NE(report.notes[1].find("interrupted run"), std::string::npos) << report.notes[1];
}

TEST_F(CommitCrashTest, ARecordsHeldAsideByAnEarlierVersionAreNeverReplacedByAnEmptyTable)
{
    CopySamples(src, {"pd-joins/A.db", "pd-joins/A.PX", "pd-joins/A.VAL"});
    TvxScriptMaker m;
    m.AddTable("A", src.string(), "A");
    const std::string script = m.SaveMaintenance(tmp.file("m.vxmsp"));
    fs::create_directories(src / ".morvane-old-Ab12Cd"); // what an earlier version left
    for (const char* f : {"A.db", "A.PX", "A.VAL"})
        fs::rename(src / f, src / ".morvane-old-Ab12Cd" / f);
    const auto before = test::Fingerprint(src);
    EXPECT_EQ(RunWith(script, src.string(), "", nullptr), vxRunTableNotWritten);
    EXPECT_NE(report.message.find("held aside"), std::string::npos) << report.message;
    EXPECT_EQ(test::Fingerprint(src), before);
}

TEST_F(CommitCrashTest, ASecondRunWaitsForTheLockThenNamesItsHolder)
{
    CopySamples(src, JoinFiles);
    TvxScriptMaker m;
    m.AddTable("A", src.string(), "A");
    const std::string script = m.SaveUpdate(tmp.file("a.vxusp"));
    fs::create_directories(dst);
    const std::string lockPath = (dst / TvxTargetGuard::LockName).string();
    std::string holder;
    auto held = TvxFileLock::Acquire(TvxPlatformFiles::System(), lockPath, std::chrono::milliseconds(0), holder);
    ASSERT_TRUE(held);

    TvxUpdateServer server;
    server.SetSource(src.string());
    server.SetNewPath(dst.string());
    server.SetScriptFile(script);
    server.SetLockWait(std::chrono::milliseconds(300));
    EXPECT_EQ(server.Run(), vxRunTargetLocked);
    EXPECT_NE(server.Report().message.find("held by process " + std::to_string(::getpid()) + " on host"),
              std::string::npos)
        << server.Report().message;
    EXPECT_FALSE(fs::exists(dst / "A.DB"));

    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        held.reset();
    });
    server.SetLockWait(std::chrono::milliseconds(20000));
    EXPECT_EQ(server.Run(), vxRunOK) << server.Report().message;
    release.join();
    EXPECT_TRUE(server.Report().notes.empty()) << "a lock released is not stale";

    // A holder that dies keeps its file but not the lock.
    const pid_t child = ::fork();
    if (child == 0) {
        std::string h;
        TvxFileLock::Acquire(TvxPlatformFiles::System(), lockPath, std::chrono::milliseconds(0), h).release();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(fs::exists(lockPath));
    EXPECT_EQ(server.Run(), vxRunOK) << server.Report().message;
    ASSERT_FALSE(server.Report().notes.empty());
    EXPECT_NE(server.Report().notes[0].find("taken over from process " + std::to_string(child)), std::string::npos)
        << server.Report().notes[0];
    EXPECT_FALSE(fs::exists(lockPath));
}

} // namespace
} // namespace morvane
