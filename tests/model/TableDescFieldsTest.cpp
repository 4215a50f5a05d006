#include <gtest/gtest.h>

#include "TableDescFixtures.h"
#include "model/vxEngineValues.h"

using namespace morvane;
using namespace morvane::testing;

namespace {

std::vector<std::string> Names(const TvxTableDesc& desc)
{
    std::vector<std::string> names;
    for (const auto& f : desc.Fields())
        names.push_back(f.name());
    return names;
}

void ExpectCountsMatchArrays(const TvxTableDesc& desc)
{
    EXPECT_EQ(desc.CursorProps().fieldCount(), static_cast<int>(desc.Fields().size()));
    EXPECT_EQ(desc.CursorProps().indexCount(), static_cast<int>(desc.Indexes().size()));
    EXPECT_EQ(desc.CursorProps().refIntCount(), static_cast<int>(desc.RefInts().size()));
    EXPECT_EQ(desc.CursorProps().valCheckCount(), static_cast<int>(desc.ValChecks().size()));
}

} // namespace

TEST(TableDescFields, InsertAndDeleteKeepTheArrayPacked)
{
    TvxTableDesc desc = MakeTable("T", {{"A", fldLong}, {"C", fldLong}});
    EXPECT_TRUE(desc.InsertField(MakeField("B", 2, fldLong), 1));
    EXPECT_TRUE(desc.InsertField(MakeField("Z", 9, fldLong), 50)); // past the end appends
    EXPECT_EQ(Names(desc), (std::vector<std::string>{"A", "B", "C", "Z"}));
    EXPECT_FALSE(desc.InsertField(MakeField("NEG", 1, fldLong), -1));

    EXPECT_TRUE(desc.DeleteField(3)); // the last: nothing moves
    EXPECT_EQ(Names(desc), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(desc.DeleteField(0));
    EXPECT_EQ(Names(desc), (std::vector<std::string>{"B", "C"}));
    EXPECT_FALSE(desc.DeleteField(2));
    EXPECT_FALSE(desc.DeleteField(-1));
    EXPECT_EQ(desc.FieldCount(), 2);

    EXPECT_FALSE(desc.SetField(MakeField("X", 3, fldLong), 2));
    EXPECT_TRUE(desc.SetField(MakeField("X", 2, fldLong), 1));
    ASSERT_NE(desc.GetField(1), nullptr);
    EXPECT_EQ(desc.GetField(1)->name(), "X");
    EXPECT_EQ(desc.GetField(2), nullptr);
    EXPECT_EQ(desc.GetField(-1), nullptr);
    ExpectCountsMatchArrays(desc);
}

TEST(TableDescFields, The257thFieldIsRefusedAndChangesNothing)
{
    TvxTableDesc desc;
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(desc.InsertField(MakeField(Numbered("F", i), i + 1, fldLong), i));
    const TvxTableDesc before = desc.Clone();
    EXPECT_FALSE(desc.InsertField(MakeField("EXTRA", 257, fldLong), 0));
    EXPECT_FALSE(desc.InsertField(MakeField("EXTRA", 257, fldLong), 256));
    EXPECT_EQ(desc.FieldCount(), 256);
    EXPECT_EQ(desc.Fields(), before.Fields());
}

TEST(TableDescFields, SetCountsClampAndZeroNewRecords)
{
    TvxTableDesc desc;
    desc.SetFieldCount(300);
    EXPECT_EQ(desc.FieldCount(), 256);
    EXPECT_EQ(desc.Fields()[255], TvxFieldDesc{});
    desc.SetFieldCount(-4);
    EXPECT_EQ(desc.FieldCount(), 0);
    desc.SetIndexCount(1000);
    desc.SetRefIntCount(2);
    desc.SetValCheckCount(3);
    EXPECT_EQ(desc.IndexCount(), 256);
    EXPECT_EQ(desc.RefIntCount(), 2);
    EXPECT_EQ(desc.ValCheckCount(), 3);
    ExpectCountsMatchArrays(desc);

    // A count written straight into the properties never reaches past the arrays.
    desc.CursorProps().setFieldCount(40);
    EXPECT_EQ(desc.FieldCount(), 0);
    EXPECT_EQ(desc.GetField(5), nullptr);
    EXPECT_TRUE(desc.InsertField(MakeField("A", 1, fldLong), 0));
    EXPECT_EQ(desc.FieldCount(), 1);
    ExpectCountsMatchArrays(desc);
}

TEST(TableDescFields, LookUpsIgnoreLetterCaseAccentsIncluded)
{
    // Windows-1252: "CÓDIGO" stored, "código" asked.
    TvxTableDesc desc = MakeTable("T", {{"Nome", fldAlpha}, {"C\xD3" "DIGO", fldLong}});
    EXPECT_EQ(desc.FieldNumber("c\xF3" "digo"), 2);
    EXPECT_EQ(desc.FieldNumber("NOME"), 1);
    EXPECT_EQ(desc.FieldNumber("NOMES"), 0);

    TvxFieldDesc found;
    EXPECT_TRUE(desc.FindField("nome", found));
    EXPECT_EQ(found.name(), "Nome");
    EXPECT_FALSE(desc.FindField("absent", found));

    desc.DeleteFieldByName("absent");
    EXPECT_EQ(desc.FieldCount(), 2);
    desc.DeleteFieldByName("NOME");
    EXPECT_EQ(Names(desc), (std::vector<std::string>{"C\xD3" "DIGO"}));
}

TEST(TableDescFields, RenumberIndexFieldsAfterInsertAndDelete)
{
    TvxTableDesc desc = MakeTable("T", {{"A", fldLong}, {"B", fldLong}, {"C", fldLong}, {"D", fldLong}});
    desc.AddIndex(MakeIndex("I1", {1, 3, 4}));
    desc.AddIndex(MakeIndex("I2", {2}));

    // A field was inserted at number 3: keys 3 and 4 move up.
    desc.RenumberIndexFields(3, 0);
    EXPECT_EQ(desc.GetIndex(0)->keyFieldCount(), 3);
    EXPECT_EQ(desc.GetIndex(0)->keyField(0), 1);
    EXPECT_EQ(desc.GetIndex(0)->keyField(1), 4);
    EXPECT_EQ(desc.GetIndex(0)->keyField(2), 5);
    EXPECT_EQ(desc.GetIndex(1)->keyField(0), 2);

    // Field 4 was deleted: its entry goes, later entries move down, higher numbers drop.
    desc.RenumberIndexFields(4, 1);
    EXPECT_EQ(desc.GetIndex(0)->keyFieldCount(), 2);
    EXPECT_EQ(desc.GetIndex(0)->keyField(0), 1);
    EXPECT_EQ(desc.GetIndex(0)->keyField(1), 4);
    EXPECT_EQ(desc.GetIndex(0)->keyField(2), 0);

    // Field 2 was deleted: the index on it only is left without fields.
    desc.RenumberIndexFields(2, 1);
    EXPECT_EQ(desc.GetIndex(1)->keyFieldCount(), 0);
    EXPECT_EQ(desc.GetIndex(1)->keyField(0), 0);
    EXPECT_EQ(desc.GetIndex(0)->keyField(1), 3);
    EXPECT_FALSE(desc.AllIndexesHaveFields());
}

// Validity checks and the numbers in the field records follow inserted and deleted fields as
// index keys do: a check stays with its field, and the check of a deleted field goes.
TEST(TableDescFields, ChecksAndFieldNumbersFollowInsertedAndDeletedFields)
{
    TvxTableDesc desc = MakeTable("T", {{"A", fldLong}, {"B", fldLong}, {"C", fldLong}});
    ASSERT_TRUE(desc.AddValCheck("", "", *desc.GetField(0), true, "", ""));
    ASSERT_TRUE(desc.AddValCheck("", "", *desc.GetField(2), false, "###", ""));
    auto pictureOf = [&](int fieldNo) {
        const TvxValCheckDesc* check = desc.FindValCheck(fieldNo);
        return check ? (check->required() ? "required" : check->picture()) : std::string("none");
    };
    auto numbersArePositions = [&] {
        for (int i = 0; i < desc.FieldCount(); ++i)
            if (desc.GetField(i)->fieldNumber() != i + 1)
                return false;
        return true;
    };

    // A field inserted at the top: A's check moves to 2, C's to 4.
    ASSERT_TRUE(desc.InsertField(MakeField("N", 1, fldLong), 0));
    desc.RenumberIndexFields(1, 0);
    EXPECT_TRUE(numbersArePositions());
    EXPECT_EQ(pictureOf(1), "none");
    EXPECT_EQ(pictureOf(2), "required");
    EXPECT_EQ(pictureOf(4), "###");

    // A field appended past the end takes the next number whatever its record said.
    ASSERT_TRUE(desc.InsertField(MakeField("Z", 40, fldLong), 99));
    EXPECT_EQ(desc.GetField(4)->fieldNumber(), 5);

    // A (number 2) deleted: its check goes, C's drops to 3.
    ASSERT_TRUE(desc.DeleteField(1));
    desc.RenumberIndexFields(2, 1);
    EXPECT_TRUE(numbersArePositions());
    EXPECT_EQ(desc.ValCheckCount(), 1);
    EXPECT_EQ(pictureOf(2), "none");
    EXPECT_EQ(pictureOf(3), "###");
    EXPECT_EQ(desc.GetField(2)->name(), "C");
}

TEST(TableDescFields, ListFieldsNotInIndexKeepsFieldOrder)
{
    TvxTableDesc desc = MakeTable("T", {{"A", fldLong}, {"B", fldLong}, {"C", fldLong}});
    std::vector<std::string> names{"stale"};
    desc.ListFieldsNotInIndex(names, MakeIndex("I", {3, 1}));
    EXPECT_EQ(names, (std::vector<std::string>{"B"}));
    TvxIndexDesc damaged = MakeIndex("I", {2});
    damaged.setKeyFieldCount(900);
    desc.ListFieldsNotInIndex(names, damaged);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "C"}));
}

TEST(TableDescTable, NamesTypeAndExtension)
{
    TvxTableDesc desc;
    desc.SetTableName("CLIENTES");
    EXPECT_EQ(desc.CursorProps().tableName(), "CLIENTES");
    EXPECT_EQ(desc.TableName(), "CLIENTES");
    EXPECT_EQ(desc.TableList().fileName(), "CLIENTES");

    // The same name changes nothing, not even a file name set apart.
    desc.TableList().setFileName("OUTRO");
    desc.SetTableName("CLIENTES");
    EXPECT_EQ(desc.TableList().fileName(), "OUTRO");
    desc.SetAllNames("CLIENTES");
    EXPECT_EQ(desc.TableList().fileName(), "CLIENTES");

    desc.SetTableName(std::string(300, 'n'));
    EXPECT_EQ(desc.TableName().size(), 259u);

    desc.SetExtension("DBX");
    EXPECT_EQ(desc.TableList().extension(), "DB");
    desc.SetAllNames("CLIENTES");
    EXPECT_EQ(desc.FileName(), "CLIENTES.DB");

    desc.SetTableType(std::string(40, 'P'));
    EXPECT_EQ(desc.TableTypeName(), std::string(30, 'P'));
    EXPECT_EQ(desc.TableList().tableType(), std::string(30, 'P'));

    desc.SetProtected(true);
    desc.SetStrictRefInt(true);
    EXPECT_TRUE(desc.Protected());
    EXPECT_EQ(desc.CursorProps().bytes()[TvxCursorProps::oStrictRefInt], 0xFF);
    desc.SetStrictRefInt(false);
    EXPECT_FALSE(desc.StrictRefInt());

    desc.CursorProps().setBlockSizeKb(4);
    EXPECT_EQ(desc.BlockSize(), 4096);
}

TEST(TableDescTable, DateAndTimeTextsArePadded)
{
    TvxTableDesc desc;
    std::int32_t date = 0;
    ASSERT_TRUE(EncodeDate(2024, 3, 5, date));
    desc.TableList().setFileDate(date);
    desc.TableList().setFileTime((9 * 60 + 5) * 60000 + 30000);
    EXPECT_EQ(desc.TableDateText(), "05/03/2024");
    EXPECT_EQ(desc.TableTimeText(), "09:05");

    ASSERT_TRUE(EncodeDate(7, 12, 25, date));
    desc.TableList().setFileDate(date);
    desc.TableList().setFileTime((23 * 60 + 59) * 60000);
    EXPECT_EQ(desc.TableDateText(), "25/12/07");
    EXPECT_EQ(desc.TableTimeText(), "23:59");
}

TEST(TableDescTable, CreateFromEngineAndClone)
{
    TvxCursorProps props;
    props.setFieldCount(3);
    props.setIndexCount(60000); // damaged: clamped to what an array can hold
    const TvxTableDesc fromEngine = TvxTableDesc::CreateFromEngine(nullptr, props);
    EXPECT_EQ(fromEngine.TableList(), TvxTableListRec{});
    EXPECT_EQ(fromEngine.FieldCount(), 3);
    EXPECT_EQ(fromEngine.IndexCount(), 256);
    ExpectCountsMatchArrays(fromEngine);

    TvxTableDesc desc = MakeTable("ITENS", {{"A", fldLong}, {"B", fldLong}});
    AddPrimaryKey(desc, 1);
    TvxRefIntDesc master = MakeRule("M");
    master.setOtherTable("C:\\DADOS\\PEDIDOS.DB");
    desc.AddRefInt(MakeRule("D1"));
    desc.RefIntAt(0).setOtherTable("/srv/dados/CLIENTES.DB");
    desc.AddRefInt(master);
    desc.RefIntAt(1).setKind(TvxRefIntDesc::Master);
    desc.AddRefInt(MakeRule("D2"));
    desc.RefIntAt(2).setOtherTable("C:\\DADOS\\PRODUTOS.DB");
    desc.AddValCheck("1", "", *desc.GetField(0), true, "", "");

    const TvxTableDesc copy = desc.Clone();
    EXPECT_EQ(copy.Fields(), desc.Fields());
    EXPECT_EQ(copy.Indexes(), desc.Indexes());
    EXPECT_EQ(copy.ValChecks(), desc.ValChecks());
    EXPECT_EQ(copy.TableList(), desc.TableList());
    ASSERT_EQ(copy.RefIntCount(), 2);
    EXPECT_EQ(copy.GetRefInt(0)->name(), "D1");
    EXPECT_EQ(copy.GetRefInt(0)->otherTable(), "CLIENTES.DB");
    EXPECT_EQ(copy.GetRefInt(1)->otherTable(), "PRODUTOS.DB");
    ExpectCountsMatchArrays(copy);
    EXPECT_EQ(copy.Fields().capacity(), 2u);
    EXPECT_EQ(copy.RefInts().capacity(), 2u);
}

TEST(TableDescValChecks, AddFindAndDelete)
{
    TvxTableDesc desc = MakeTable("T", {{"QTD", fldLong}, {"NOME", fldAlpha}});
    const TvxFieldDesc qtd = *desc.GetField(0);

    // Empty texts: only the required flag and the picture.
    ASSERT_TRUE(desc.AddValCheck("", "", qtd, true, "###", ""));
    const TvxValCheckDesc* check = desc.FindValCheck(1);
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->required());
    EXPECT_FALSE(check->hasMinimum());
    EXPECT_FALSE(check->hasMaximum());
    EXPECT_FALSE(check->hasDefault());
    EXPECT_EQ(check->picture(), "###");
    EXPECT_TRUE(std::all_of(check->minimum(), check->minimum() + 3 * TvxValCheckDesc::AreaSize,
                            [](std::uint8_t b) { return b == 0; }));

    // A text that does not convert adds nothing.
    EXPECT_FALSE(desc.AddValCheck("1", "muito", qtd, false, "", ""));
    EXPECT_EQ(desc.ValCheckCount(), 1);

    ASSERT_TRUE(desc.AddValCheck("", "", *desc.GetField(1), false, std::string(200, 'p'), "abc"));
    check = desc.FindValCheck(2);
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->hasDefault());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(check->defaultValue())), "abc");
    EXPECT_EQ(check->picture().size(), 174u);

    EXPECT_FALSE(desc.DeleteValCheck(7));
    EXPECT_TRUE(desc.DeleteValCheck(1));
    EXPECT_EQ(desc.FindValCheck(1), nullptr);
    ASSERT_EQ(desc.ValCheckCount(), 1);
    EXPECT_EQ(desc.GetValCheck(0)->fieldNumber(), 2);
    ExpectCountsMatchArrays(desc);
}

TEST(TableDescValChecks, The257thCheckIsRefused)
{
    TvxTableDesc desc = MakeTable("T", {{"A", fldLong}});
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(desc.AddValCheck("", "", *desc.GetField(0), false, "", ""));
    EXPECT_FALSE(desc.AddValCheck("", "", *desc.GetField(0), false, "", ""));
    EXPECT_EQ(desc.ValCheckCount(), 256);
}

TEST(TableDescMemory, ATypicalTableStaysSmall)
{
    TvxTableDesc desc;
    desc.SetAllNames("PEDIDOS");
    for (int i = 0; i < 20; ++i)
        desc.InsertField(MakeField(Numbered("CAMPO", i), i + 1, fldLong), i);
    for (int i = 0; i < 3; ++i)
        desc.AddIndex(MakeIndex(Numbered("I", i), {i + 1}));
    for (int i = 0; i < 2; ++i)
        desc.AddRefInt(MakeRule(Numbered("R", i)));
    for (int i = 0; i < 5; ++i)
        desc.AddValCheck("", "", *desc.GetField(i), true, "", "");
    EXPECT_LT(desc.MemoryUsage(), 32u * 1024u);
    EXPECT_LT(desc.Clone().MemoryUsage(), 32u * 1024u);
}
