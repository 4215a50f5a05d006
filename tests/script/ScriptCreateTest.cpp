// "C&riar script" below the window: the checks in their order, the files byte for byte, their
// names beside the document (directories with dots), and what stays when a check fails.

#include <gtest/gtest.h>

#include <filesystem>

#include "BuilderFixture.h"
#include "script/vxScriptCreate.h"
#include "script/vxUpdateScriptFile.h"
#include "stream/EvxStreamError.h"
#include "stream/TvxMemoryStream.h"
#include "support/TempDir.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

const std::string Header = std::string("\x06\x07Morvane\x06\x03" "1.0", 14);
const std::string UpdateHead = Header + std::string("\x02\x01\x08", 3);
const std::string MaintHead = Header + std::string("\x02\x02\x08", 3);
const std::string Empty = std::string("\x02\x00", 2);

TvxIndexDesc IndexWithoutFields()
{
    TvxIndexDesc x;
    x.setName("SEMCAMPOS");
    return x;
}

TvxRefIntDesc RuleWithoutFields()
{
    TvxRefIntDesc r;
    r.setName("R");
    r.setKind(TvxRefIntDesc::Dependent);
    r.setOtherTable("OUTRA.DB");
    r.setFieldCount(1);
    r.setOtherField(0, 1);
    return r;
}

class ScriptCreateTest : public test::BuilderTest
{
protected:
    std::string StructuresOf() const
    {
        TvxMemoryStream s;
        list.WriteAllStructures(s);
        return {s.Bytes().begin(), s.Bytes().end()};
    }
    test::TempDir dir;
};

TEST_F(ScriptCreateTest, OneCreatedTableByteForByte)
{
    ASSERT_EQ(CreateTable("CLI"), 0);
    ASSERT_EQ(CreateField("CLI", "NOME", 1), 0);
    const std::string doc = dir.file("novo.vxscript");
    ASSERT_EQ(CreateScripts(doc, "Morvane", script, list), TvxScriptMsg::ScriptsCreated);
    // Two commands; the first of kind 2 with one parameter "CLI"; then the Create field record.
    const std::string usp = dir.read("novo.vxusp");
    EXPECT_EQ(usp.substr(0, UpdateHead.size() + 11),
              UpdateHead + std::string("\x02\x02\x02\x02\x02\x01\x06\x03" "CLI", 11));
    TvxMemoryStream commands;
    script.SaveToStream(commands);
    EXPECT_EQ(usp, UpdateHead + std::string(commands.Bytes().begin(), commands.Bytes().end()));
    EXPECT_EQ(dir.read("novo.vxmsp"), MaintHead + StructuresOf());
    EXPECT_EQ(StructuresOf().substr(0, 2), std::string("\x02\x01", 2));
}

TEST_F(ScriptCreateTest, ChecksInTheirOrderAndWhatStays)
{
    struct Case
    {
        const char* what;
        bool blankName;
        bool indexWithoutFields;
        bool incompleteRule;
        int expected;
        bool updateWritten;
    };
    const Case cases[] = {
        {"all complete", false, false, false, TvxScriptMsg::ScriptsCreated, true},
        {"never saved", true, true, true, TvxScriptMsg::FileNameBlank, false},
        {"index first", false, true, true, TvxScriptMsg::IndexWithoutFields, true},
        {"then rules", false, false, true, TvxScriptMsg::RefIntIncomplete, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir where;
        TvxScriptTableList tables;
        tables.AddTable("A", test::SourceTable("A", {"K"}));
        if (c.indexWithoutFields)
            tables.TableAt(0)->SetIndexes({IndexWithoutFields()});
        if (c.incompleteRule)
            tables.TableAt(0)->SetRefInts({RuleWithoutFields()});
        where.write("doc.vxmsp", "previous");
        const std::string doc = c.blankName ? std::string("  ") : where.file("doc.vxscript");
        EXPECT_EQ(CreateScripts(doc, "Morvane", script, tables), c.expected);
        EXPECT_EQ(fs::exists(where.file("doc.vxusp")), c.updateWritten);
        if (c.expected == TvxScriptMsg::ScriptsCreated)
            EXPECT_EQ(where.read("doc.vxmsp").substr(0, MaintHead.size()), MaintHead);
        else
            EXPECT_EQ(where.read("doc.vxmsp"), "previous");
    }
    // A table no file can be named after, or one without fields: refused, naming it, before
    // anything is written.
    const std::pair<std::string, int> refused[] = {{"Tab/ela*?:\xE7", TvxScriptMsg::TableNameNotAllowed},
                                                   {"VAZIA", TvxScriptMsg::TableWithoutFields}};
    for (const auto& [name, expected] : refused) {
        test::TempDir where;
        TvxScriptTableList tables;
        tables.AddTable("A", test::SourceTable("A", {"K"}));
        tables.AddTable(name, test::SourceTable(name, expected == TvxScriptMsg::TableWithoutFields
                                                          ? std::vector<std::string>{}
                                                          : std::vector<std::string>{"K"}));
        std::string subject;
        EXPECT_EQ(CreateScripts(where.file("doc.vxscript"), "Morvane", script, tables, &subject), expected);
        EXPECT_EQ(subject, name);
        EXPECT_FALSE(fs::exists(where.file("doc.vxusp")));
    }
    EXPECT_EQ(ScriptMaintCreate("", "Morvane", list), TvxScriptMsg::FileNameBlank);
    EXPECT_EQ(ScriptUpdateCreate(" \t", "Morvane", script), TvxScriptMsg::FileNameBlank);
}

TEST_F(ScriptCreateTest, FilesBesideTheDocumentWhateverTheDirectoryHolds)
{
    struct Case
    {
        const char* document; // relative to the temporary directory
        const char* update;
        const char* maintenance;
    };
    const Case cases[] = {
        {"Meus.Dados/novo.vxscript", "Meus.Dados/novo.vxusp", "Meus.Dados/novo.vxmsp"},
        {"v1.2/base.final.vxscript", "v1.2/base.final.vxusp", "v1.2/base.final.vxmsp"},
        {"v1.2/sem-extensao", "v1.2/sem-extensao.vxusp", "v1.2/sem-extensao.vxmsp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document);
        fs::create_directories(dir.path() / fs::path(c.document).parent_path());
        const TvxScriptFileNames names = ScriptFileNames(std::string(1, ' ').append(dir.file(c.document)).append(" "));
        EXPECT_EQ(names.update, dir.file(c.update));
        EXPECT_EQ(names.maintenance, dir.file(c.maintenance));
        ASSERT_EQ(CreateScripts(dir.file(c.document), "Morvane", script, list), TvxScriptMsg::ScriptsCreated);
        EXPECT_EQ(dir.read(c.update), UpdateHead + Empty);
        EXPECT_EQ(dir.read(c.maintenance), MaintHead + Empty);
    }
    EXPECT_FALSE(fs::exists(dir.file("Meus.vxusp")));
    EXPECT_FALSE(fs::exists(dir.file("v1.vxusp")));
}

TEST_F(ScriptCreateTest, UnwritableDirectoryThrowsAndLeavesNothing)
{
    const std::string doc = dir.file("falta/novo.vxscript");
    EXPECT_THROW(CreateScripts(doc, "Morvane", script, list), EFCreateError);
    EXPECT_FALSE(fs::exists(dir.file("falta")));
}

} // namespace
} // namespace morvane
