// Scripts made from the difference of two databases, on every sample set: a set against itself
// gives a script that changes nothing; against copies edited at random through the builder
// (written with our writer) the new tables, the reopened document and the databases that the
// update and maintenance scripts make of a copy of the source all have the wanted structure,
// and the records of the fields carried keep their values.

#include "script/TvxScriptDocument.h"
#include "script/vxUpdateScriptFile.h"

#include "diff/TvxScriptFromDifference.h"
#include "diff/vxStructureCompare.h"
#include "DiffTestSupport.h"
#include "support/SamplePath.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct SampleSet
{
    const char* dir;
    std::vector<std::string> passwords;
};

const SampleSet Sets[] = {
    {"pd-areas", {}}, {"pd-encrypt", {"123"}}, {"pd-fields", {}}, {"pd-joins", {}}, {"rparadox-extdata", {}}};

std::string Differences(const TvxTableDesc& have, const TvxTableDesc& want)
{
    std::string out;
    for (const TvxStructureDifference& d : StructureDifferences(have, want))
        out += "\n  " + d.text;
    return out;
}

// The document opened as the editor opens it: commands replayed over the source's tables, then
// the descriptor records read.
struct Reopened
{
    TvxScriptTableList list;
    TvxDBScript script;
    bool descriptorsRead = false;

    Reopened(const std::string& file, const TvxDiffDatabase& source)
    {
        script.SetScriptTableList(&list);
        TvxScriptReplayer replayer(list, [&](std::string_view name) { return source.Find(name); });
        script.AfterLoad = [&](TvxCommand& c) { replayer.Apply(c); };
        TvxScriptTableList& tables = list;
        OpenScriptDocument(file, script, [&](TvxStream& s) { descriptorsRead = tables.ReadAllDescriptors(s); });
        script.AfterLoad = nullptr;
    }
    ~Reopened() { script.SetScriptTableList(nullptr); }
};

class DifferenceTest : public ::testing::TestWithParam<SampleSet>
{
protected:
    void SetUp() override { source = test::ReadSide(test::SamplePath(GetParam().dir), GetParam().passwords); }

    TvxDiffDatabase source;
};

TEST_P(DifferenceTest, ADatabaseAgainstItselfGivesAScriptThatChangesNothing)
{
    TvxScriptTableList list;
    TvxDBScript script;
    script.SetScriptTableList(&list);
    const TvxDifferenceReport report = BuildScriptFromDifference(script, source, source);
    EXPECT_TRUE(report.Unchanged());
    ASSERT_EQ(script.Count(), static_cast<int>(source.tables.size()) + 1);
    EXPECT_EQ(script.Command(0)->Kind(), ckAddAlias);
    EXPECT_EQ(script.Command(0)->ParamText(AliasParam::Directory), source.directory);
    for (int i = 1; i < script.Count(); ++i)
        EXPECT_EQ(script.Command(i)->Kind(), ckAddTable) << script.CommandTexts()[static_cast<std::size_t>(i)];
    ASSERT_EQ(list.Count(), static_cast<int>(source.tables.size()));
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_EQ(Differences(*list.TableAt(i), source.tables[static_cast<std::size_t>(i)]), "") << list.NameAt(i);
    script.SetScriptTableList(nullptr);
}

TEST_P(DifferenceTest, EditedCopiesComeOutAsWantedWithTheirRecordsCarried)
{
    std::vector<std::string> passwords = GetParam().passwords;
    passwords.push_back(test::TvxWantedMaker::NewTablePassword);
    const std::vector<std::string> unreadable = test::UnreadableTables(test::SamplePath(GetParam().dir), passwords);
    std::map<int, int> kindsSeen;
    int renamesSeen = 0;
    int passwordsSeen = 0;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TempDir tmp;
        const fs::path wantedDir = tmp.path() / "wanted";
        fs::create_directories(wantedDir);
        test::TvxWantedMaker maker(source, seed, unreadable);
        const TvxFieldRenames renames = maker.Make(wantedDir.string(), passwords.empty() ? "" : passwords[0]);
        const TvxDiffDatabase wanted = test::ReadSide(wantedDir.string(), passwords);

        const std::string doc = tmp.file("new.vxscript");
        {
            TvxScriptTableList list;
            TvxDBScript script;
            script.SetScriptTableList(&list);
            BuildScriptFromDifference(script, source, wanted, renames);
            for (int i = 0; i < script.Count(); ++i)
                ++kindsSeen[script.Command(i)->Kind()];
            renamesSeen += static_cast<int>(renames.All().size());
            passwordsSeen +=
                static_cast<int>(std::count_if(wanted.tables.begin(), wanted.tables.end(), [&](const TvxTableDesc& t) {
                    return !source.Find(t.TableName()) && t.Protected();
                }));
            SaveScriptDocument(doc, "Morvane", script, list);
            script.SetScriptTableList(nullptr);
        }
        Reopened reopened(doc, source);
        ASSERT_TRUE(reopened.descriptorsRead);
        ASSERT_EQ(reopened.list.Count(), static_cast<int>(wanted.tables.size()));
        for (int i = 0; i < reopened.list.Count(); ++i)
            ASSERT_EQ(Differences(*reopened.list.TableAt(i), wanted.tables[static_cast<std::size_t>(i)]), "")
                << reopened.list.NameAt(i) << " reopened";

        // The scripts written from the reopened document, run on a copy of the source.
        SaveUpdateScript(tmp.file("new.vxusp"), "Morvane", reopened.script);
        SaveMaintenanceScript(tmp.file("new.vxmsp"), "Morvane", reopened.list);
        const fs::path src = tmp.path() / "source";
        const fs::path out = tmp.path() / "result";
        fs::create_directories(src);
        for (const auto& e : fs::directory_iterator(test::SamplePath(GetParam().dir)))
            if (e.path().extension() != ".md")
                fs::copy_file(e.path(), src / e.path().filename());
        ASSERT_EQ(test::RunScripts(tmp.file("new.vxusp"), tmp.file("new.vxmsp"), src.string(), out.string(), passwords),
                  "");

        const TvxDiffDatabase result = test::ReadSide(out.string(), passwords);
        ASSERT_EQ(result.tables.size(), wanted.tables.size());
        for (const TvxTableDesc& want : wanted.tables) {
            const TvxTableDesc* have = result.Find(want.TableName());
            ASSERT_TRUE(have) << want.TableName();
            EXPECT_EQ(Differences(*have, want), "") << want.TableName() << " after the run";
            EXPECT_EQ(have->Protected(), want.Protected()) << want.TableName();
            EXPECT_EQ(result.PasswordOf(*have), wanted.PasswordOf(want)) << want.TableName();
        }
        std::map<std::string, std::map<std::string, std::vector<std::string>>> before;
        std::map<std::string, std::map<std::string, std::vector<std::string>>> after;
        for (const auto& c : maker.CarriedFields()) {
            if (!before.count(c.table)) {
                before[c.table] = test::Columns(src.string(), c.table, passwords);
                after[c.table] = test::Columns(out.string(), c.table, passwords);
            }
            EXPECT_EQ(after[c.table][UpperText(c.wantedField)], before[c.table][UpperText(c.sourceField)])
                << c.table << "." << c.sourceField << " -> " << c.wantedField;
        }
    }
    // The edits reached every kind of command the comparison records.
    for (const int kind : {ckAddAlias, ckCreateTable, ckAddTable, ckCreateField, ckChangeField, ckDeleteField})
        EXPECT_GT(kindsSeen[kind], 0) << CommandKindLabel(kind);
    EXPECT_EQ(kindsSeen[ckAddPassword], passwordsSeen) << "one password per protected new table";
    EXPECT_GT(renamesSeen, 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, DifferenceTest, ::testing::ValuesIn(Sets),
                         [](const ::testing::TestParamInfo<SampleSet>& info) {
                             std::string name = info.param.dir;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
} // namespace morvane
