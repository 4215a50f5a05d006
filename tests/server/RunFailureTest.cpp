// Runs that fail: damaged or unknown scripts, commands naming what is not there, targets that
// cannot be made, unreadable sources, and a write failing at every step. Each leaves the
// source and the target exactly as they were.

#include <gtest/gtest.h>

#include "ServerRunFixture.h"
#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxWriterFiles.h"
#include "script/TvxScriptDocument.h"
#include "script/vxUpdateServerCodes.h"
#include "support/TestScript.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::MakeField;
using test::JoinFiles;
using test::TvxScriptMaker;

class RunFailureTest : public test::ServerRunTest
{
protected:
    void SetUp() override { CopySamples(src, JoinFiles); }

    std::string Save(const test::TestScript& script, const std::string& name)
    {
        const std::string file = tmp.file(name);
        SaveUpdateScript(file, "Morvane", script);
        return file;
    }
};

// The file system of a run, failing at its n-th call that writes (creates, writes, syncs,
// renames), as a full disk or a refused permission would.
class TvxFailingFiles : public ParadoxWriterFiles
{
public:
    explicit TvxFailingFiles(int failAt) : failAt_(failAt) {}
    int calls = 0;

    std::string makeTempDirectory(const std::string& parent, const std::string& prefix) override
    {
        Tick(parent);
        return ParadoxWriterFiles::makeTempDirectory(parent, prefix);
    }
    void makeDirectory(const std::string& path) override
    {
        Tick(path);
        ParadoxWriterFiles::makeDirectory(path);
    }
    TvxFileHandle create(const std::string& path) override
    {
        Tick(path);
        return ParadoxWriterFiles::create(path);
    }
    void writeAt(TvxFileHandle fd, const void* data, std::size_t size, std::uint64_t offset, const std::string& path) override
    {
        Tick(path);
        ParadoxWriterFiles::writeAt(fd, data, size, offset, path);
    }
    // Syncs count as steps that can fail; the disk is not asked to flush (the test is about
    // where a run can stop, not about power loss), which keeps the many runs quick.
    void sync(TvxFileHandle, const std::string& path) override { Tick(path); }
    void rename(const std::string& from, const std::string& to) override
    {
        Tick(to);
        ParadoxWriterFiles::rename(from, to);
    }
    void syncDirectory(const std::string& path) override { Tick(path); }

private:
    void Tick(const std::string& path)
    {
        if (++calls == failAt_)
            throw EvxEngineError(vxErrWriteFailed, path + ": injected failure (No space left on device)");
    }
    int failAt_;
};

TEST_F(RunFailureTest, DamagedOrUnknownScriptsWriteNothing)
{
    TvxScriptMaker valid;
    valid.AddTable("A", src.string(), "A");
    const std::string good = tmp.read(fs::path(valid.SaveUpdate(tmp.file("good.vxusp"))).filename().string());

    test::TestScript kind44;
    kind44.Add(44, {"A"});
    test::TestScript kind11;
    kind11.Add(ckCreateTable, {"T"});
    kind11.Add(ckNone, {});
    test::TestScript badType;
    badType.Add(ckCreateTable, {"T"});
    badType.Add(ckCreateField, {"T", "F", 1, 999, 4, 4, ""});
    test::TestScript noTable;
    noTable.Add(ckCreateField, {"NOPE", "F", 1, fldLong, 0, 4, ""});
    test::TestScript noField;
    noField.Add(ckAddTable, {"A", "A.db"});
    noField.Add(ckDeleteField, {"A", "ZZ"});
    test::TestScript takenField;
    takenField.Add(ckAddTable, {"A", "A.db"});
    takenField.Add(ckCreateField, {"A", "a", 2, fldLong, 0, 4, ""});
    test::TestScript noSourceTable;
    noSourceTable.Add(ckAddTable, {"X", "MISSING.DB"});
    test::TestScript document; // a script document, not an update script
    document.Add(ckCreateTable, {"T"});
    const std::string docFile = tmp.file("doc.vxscript");
    SaveScriptDocument(docFile, "Morvane", document, [](TvxStream&) {});

    tmp.write("empty.vxusp", "");
    tmp.write("cut.vxusp", good.substr(0, good.size() - 3));
    tmp.write("noise.vxusp", std::string("\x06\x07Morvane\x06\x03" "1.0\x02\x01\x08\x02\x03\xff\xfe", 19));
    tmp.write("kind9.vxusp", std::string(good).replace(good.find("\x02\x01\x08"), 3, "\x02\x09\x08"));

    const struct
    {
        std::string file;
        int code;
    } cases[] = {
        {tmp.file("missing.vxusp"), vxRunScriptNotFound},
        {tmp.file("empty.vxusp"), vxRunNotAScript},
        {tmp.file("cut.vxusp"), vxRunNotAScript},
        {tmp.file("noise.vxusp"), vxRunNotAScript},
        {tmp.file("kind9.vxusp"), vxRunNotAScript},
        {docFile, vxRunNotAScript},
        {Save(kind44, "k44.vxusp"), vxRunUnknownCommand},
        {Save(kind11, "k11.vxusp"), vxRunUnknownCommand},
        {Save(badType, "type.vxusp"), vxRunNotAScript},
        {Save(noTable, "table.vxusp"), vxRunTableNotInScript},
        {Save(noField, "field.vxusp"), vxRunFieldNotFound},
        {Save(takenField, "taken.vxusp"), vxRunFieldExists},
        {Save(noSourceTable, "source.vxusp"), vxRunSourceUnreadable},
    };
    const auto before = test::Fingerprint(src);
    for (const auto& c : cases) {
        for (const bool dry : {true, false}) {
            EXPECT_EQ(Run(c.file, dry), c.code) << c.file << (dry ? " (preview)" : "");
            EXPECT_EQ(report.code, c.code);
            EXPECT_EQ(report.message.rfind(RunCodeText(c.code), 0), 0u) << report.message;
            EXPECT_FALSE(fs::exists(dst)) << c.file;
        }
    }
    EXPECT_NE(report.message.find("MISSING.DB"), std::string::npos) << "the message names the table";
    EXPECT_EQ(test::Fingerprint(src), before);
}

TEST_F(RunFailureTest, TargetsThatCannotBeUsed)
{
    TvxScriptMaker m;
    m.AddTable("A", src.string(), "A");
    const std::string script = m.SaveUpdate(tmp.file("a.vxusp"));
    tmp.write("file", "not a directory");
    EXPECT_EQ(Run(script, false, {}, nullptr, tmp.file("file/below")), vxRunTargetNotCreated);
    EXPECT_EQ(Run(script, false, {}, nullptr, src.string()), vxRunTargetIsSource);
    EXPECT_EQ(Run(script, false, {}, nullptr, (src / "." ).string()), vxRunTargetIsSource);
    EXPECT_EQ(Run(script, false, {}, nullptr, ""), vxRunTargetNotCreated) << "no target and no Add new alias";
}

TEST_F(RunFailureTest, DamagedSourceTableFailsTheRun)
{
    CopySamples(src, {"pd-fields/bcd.db"});
    fs::resize_file(src / "bcd.db", 2048 + 100); // its records cut short
    TvxScriptMaker m;
    m.AddTable("A", src.string(), "A");
    m.AddTable("BCD", src.string(), "bcd");
    const std::string script = m.SaveUpdate(tmp.file("bcd.vxusp"));
    fs::create_directories(dst);
    tmp.write("target/KEEP.TXT", "the user's");
    const auto before = test::Fingerprint(dst);
    EXPECT_EQ(Run(script), vxRunSourceUnreadable);
    EXPECT_NE(report.message.find("bcd.db"), std::string::npos) << report.message;
    EXPECT_EQ(test::Fingerprint(dst), before);
}

TEST_F(RunFailureTest, WriteFailingAtAnyStepLeavesTheTargetAsItWas)
{
    // A target holding an earlier result and a file of the user's.
    TvxScriptMaker first;
    for (const char* t : {"A", "B", "C"})
        first.AddTable(t, src.string(), t);
    ASSERT_EQ(Run(first.SaveUpdate(tmp.file("first.vxusp"))), vxRunOK) << report.message;
    tmp.write("target/KEEP.TXT", "the user's");

    const std::string script = SaveJoinsUpdate("second.vxusp");

    for (const fs::path& target : {dst, tmp.path() / "fresh" / "target"}) {
        const bool existed = fs::exists(target);
        const auto before = existed ? test::Fingerprint(target) : std::map<std::string, std::string>();
        int failures = 0;
        for (int n = 1;; ++n) {
            TvxFailingFiles files(n);
            const int code = Run(script, false, {}, &files, target.string());
            if (files.calls < n) { // every step done without a failure
                EXPECT_EQ(code, vxRunOK) << report.Text();
                break;
            }
            ++failures;
            ASSERT_TRUE(code == vxRunTableNotWritten || code == vxRunTargetNotCreated) << n << ": " << report.message;
            if (existed)
                ASSERT_EQ(test::Fingerprint(target), before) << "failure at write " << n << ": " << report.message;
            else
                ASSERT_FALSE(fs::exists(tmp.path() / "fresh")) << "failure at write " << n;
            ASSERT_LT(n, 5000);
        }
        EXPECT_GT(failures, 30) << "too few steps failed to mean much";
        const auto rows = test::ReadAll(target, "C");
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_EQ(rows[0][3], TvxFieldValue::Bytes("x"));
        EXPECT_TRUE(test::ReadAll(target, "NEW").empty());
    }
}

} // namespace
} // namespace morvane
