#include <gtest/gtest.h>

#include "TableDescFixtures.h"
#include "model/TvxRefIntRel.h"
#include "model/vxTextCase.h"

using namespace morvane;
using namespace morvane::testing;

namespace {

using Strings = std::vector<std::string>;

// Master PEDIDOS: primary key (NUMERO, SERIE), then a description.
TvxTableDesc Master()
{
    TvxTableDesc master = MakeTable("PEDIDOS", {{"NUMERO", fldLong}, {"SERIE", fldLong}, {"DESCR", fldAlpha}});
    AddPrimaryKey(master, 2);
    return master;
}

// Dependent ITENS: own primary key ITEM, then fields that can point at the master.
TvxTableDesc Dependent()
{
    TvxTableDesc desc = MakeTable("ITENS", {{"ITEM", fldLong},
                                            {"PEDIDO", fldLong},
                                            {"SERIE_PED", fldLong},
                                            {"CONTADOR", fldAutoInc},
                                            {"OBS", fldAlpha}});
    AddPrimaryKey(desc, 1);
    return desc;
}

int FindIndexWithKeys(const TvxTableDesc& desc, std::vector<int> keys)
{
    for (int i = 0; i < desc.IndexCount(); ++i) {
        const TvxIndexDesc& index = *desc.GetIndex(i);
        std::vector<int> have;
        for (int k = 0; k < index.keyFieldCount(); ++k)
            have.push_back(index.keyField(k));
        if (have == keys)
            return i;
    }
    return -1;
}

} // namespace

TEST(TableDescRefInt, ARuleThroughItsStates)
{
    const TvxTableDesc master = Master();
    TvxTableDesc desc = Dependent();
    const int indexesBefore = desc.IndexCount();

    // Named, no master.
    ASSERT_EQ(desc.NewRefIntName(), "NewRefInt1");
    ASSERT_EQ(desc.AddRefInt(MakeRule(desc.NewRefIntName())), vxOK);
    EXPECT_EQ(desc.NewRefIntName(), "NewRefInt2");
    EXPECT_EQ(desc.GetRefInt(0)->kind(), TvxRefIntDesc::Dependent);
    EXPECT_EQ(desc.AddRefIntField(2, 0), vxErrRefIntMaxFields); // nothing to choose yet
    EXPECT_FALSE(desc.AllRefIntsComplete());

    // Master chosen.
    ASSERT_EQ(desc.SetRefIntMaster(0, master), vxOK);
    const TvxRefIntDesc& rule = *desc.GetRefInt(0);
    EXPECT_EQ(rule.fieldCount(), 2);
    EXPECT_EQ(rule.otherTable(), "PEDIDOS.DB");
    EXPECT_EQ(rule.otherField(0), 1);
    EXPECT_EQ(rule.otherField(1), 2);
    EXPECT_TRUE(desc.RefIntToTableExists("PEDIDOS.DB"));
    EXPECT_FALSE(desc.RefIntToTableExists("pedidos.db"));
    Strings names;
    desc.ListMasterFields(names, master, 0);
    EXPECT_EQ(names, (Strings{"NUMERO", "SERIE"}));
    desc.ListCompatibleFields(names, 0, *master.GetField(0));
    EXPECT_EQ(names, (Strings{"ITEM", "PEDIDO", "SERIE_PED"}));
    // An autoincrement key takes long integers; an autoincrement field (CONTADOR) is never a partner.
    desc.ListCompatibleFields(names, 0, MakeField("AUTO", 1, fldAutoInc));
    EXPECT_EQ(names, (Strings{"ITEM", "PEDIDO", "SERIE_PED"}));
    desc.ListCompatibleFields(names, 0, MakeField("CURTO", 1, fldShort));
    EXPECT_TRUE(names.empty());

    // First field: no index yet.
    EXPECT_EQ(desc.AddRefIntField(2, 0), vxOK);
    EXPECT_EQ(desc.IndexCount(), indexesBefore);
    EXPECT_EQ(desc.RefIntFilledCount(0), 1);
    desc.ListCompatibleFields(names, 0, *master.GetField(1));
    EXPECT_EQ(names, (Strings{"ITEM", "SERIE_PED"}));
    names.clear();
    desc.ListRuleFields(names, 0);
    EXPECT_EQ(names, (Strings{"PEDIDO"}));

    // Last field: the rule's index is created, named after the rule.
    EXPECT_EQ(desc.AddRefIntField(3, 0), vxOK);
    ASSERT_EQ(desc.IndexCount(), indexesBefore + 1);
    const TvxIndexDesc& created = *desc.GetIndex(indexesBefore);
    EXPECT_EQ(created.name(), "NewRefInt1");
    EXPECT_TRUE(created.maintained());
    EXPECT_FALSE(created.unique());
    EXPECT_FALSE(created.primary());
    EXPECT_EQ(FindIndexWithKeys(desc, {2, 3}), indexesBefore);
    EXPECT_TRUE(desc.AllRefIntsComplete());
    EXPECT_EQ(desc.AddRefIntField(5, 0), vxErrRefIntMaxFields);
    EXPECT_EQ(desc.DeleteIndex(indexesBefore), vxErrIndexUsedByRefInt);

    // A new name reaches the index of a rule of several fields.
    desc.RenameRefInt("newrefint1", std::string(40, 'R'));
    EXPECT_EQ(desc.GetRefInt(0)->name(), std::string(30, 'R'));
    EXPECT_EQ(desc.GetIndex(indexesBefore)->name(), std::string(30, 'R'));

    // Taking the last field out drops the index again.
    EXPECT_EQ(desc.RemoveRefIntField(0), vxOK);
    EXPECT_EQ(desc.RefIntFilledCount(0), 1);
    EXPECT_EQ(desc.IndexCount(), indexesBefore);
    EXPECT_EQ(desc.RemoveRefIntField(0), vxOK);
    EXPECT_EQ(desc.RemoveRefIntField(0), vxOK); // nothing chosen: unchanged
    EXPECT_EQ(desc.RefIntFilledCount(0), 0);
    EXPECT_EQ(desc.IndexCount(), indexesBefore);
}

TEST(TableDescRefInt, AnExistingIndexOverTheFieldsIsUsed)
{
    const TvxTableDesc master = Master();
    TvxTableDesc desc = Dependent();
    desc.AddIndex(MakeIndex("PED_SERIE", {2, 3, 5}));
    const int indexes = desc.IndexCount();
    desc.AddRefInt(MakeRule("R"));
    desc.SetRefIntMaster(0, master);
    ASSERT_EQ(desc.AddRefIntField(2, 0), vxOK);
    ASSERT_EQ(desc.AddRefIntField(3, 0), vxOK);
    EXPECT_EQ(desc.IndexCount(), indexes);

    // Choosing another master drops the rule's index (looked up by the rule's name) and the fields.
    desc.AddIndex(MakeIndex("R", {2, 3}));
    ASSERT_EQ(desc.SetRefIntMaster(0, master), vxOK);
    EXPECT_EQ(desc.IndexPosByName("R"), -1);
    EXPECT_EQ(desc.RefIntFilledCount(0), 0);
    EXPECT_EQ(desc.GetRefInt(0)->thisField(0), 0);
}

TEST(TableDescRefInt, AOneFieldRuleIndexIsNamedAfterTheField)
{
    TvxTableDesc master = MakeTable("CLIENTES", {{"CODIGO", fldLong}, {"NOME", fldAlpha}});
    AddPrimaryKey(master, 1);
    TvxTableDesc desc = Dependent();
    const int indexes = desc.IndexCount();
    desc.AddRefInt(MakeRule("CLI"));
    ASSERT_EQ(desc.SetRefIntMaster(0, master), vxOK);
    ASSERT_EQ(desc.AddRefIntField(2, 0), vxOK);
    ASSERT_EQ(desc.IndexCount(), indexes + 1);
    EXPECT_EQ(desc.GetIndex(indexes)->name(), "PEDIDO");
    EXPECT_EQ(FindIndexWithKeys(desc, {2}), indexes);

    // A rule renamed keeps the field-named index of a one-field rule.
    desc.RenameRefInt("CLI", "CLIENTE");
    EXPECT_EQ(desc.GetRefInt(0)->name(), "CLIENTE");
    EXPECT_EQ(desc.GetIndex(indexes)->name(), "PEDIDO");

    // Choosing the master again drops the index found by the field's name.
    ASSERT_EQ(desc.SetRefIntMaster(0, master), vxOK);
    EXPECT_EQ(desc.IndexCount(), indexes);

    ASSERT_EQ(desc.AddRefIntField(2, 0), vxOK);
    ASSERT_EQ(desc.IndexCount(), indexes + 1);
    EXPECT_EQ(desc.RemoveRefIntField(0), vxOK);
    EXPECT_EQ(desc.IndexCount(), indexes);
    EXPECT_FALSE(desc.IndexExists("PEDIDO"));
}

TEST(TableDescRefInt, AnIndexOfTheRuleNameOverOtherFieldsIsNotTheRules)
{
    const TvxTableDesc master = Master();
    TvxTableDesc desc = Dependent();
    // The user's own indexes that happen to bear the names the rule would give its index.
    desc.AddIndex(MakeIndex("R", {5}));
    desc.AddIndex(MakeIndex("PEDIDO", {2, 5}));
    const int userIndexes = desc.IndexCount();
    desc.AddRefInt(MakeRule("R"));

    // A rule without a master has no index: choosing the master keeps "R".
    ASSERT_EQ(desc.SetRefIntMaster(0, master), vxOK);
    EXPECT_EQ(desc.IndexCount(), userIndexes);
    EXPECT_EQ(FindIndexWithKeys(desc, {5}), desc.IndexPosByName("R"));

    // Half-chosen: renaming and taking the field out leave "R" alone.
    ASSERT_EQ(desc.AddRefIntField(2, 0), vxOK);
    desc.RenameRefInt("R", "R2");
    EXPECT_TRUE(desc.IndexExists("R"));
    EXPECT_FALSE(desc.IndexExists("R2"));
    ASSERT_EQ(desc.RemoveRefIntField(0), vxOK);
    EXPECT_EQ(desc.IndexCount(), userIndexes);

    // A one-field rule served by "PEDIDO" (2, 5) creates no index and, taken back, drops nothing.
    TvxTableDesc one = MakeTable("CLIENTES", {{"CODIGO", fldLong}});
    AddPrimaryKey(one, 1);
    ASSERT_EQ(desc.SetRefIntMaster(0, one), vxOK);
    ASSERT_EQ(desc.AddRefIntField(2, 0), vxOK);
    EXPECT_EQ(desc.IndexCount(), userIndexes);
    ASSERT_EQ(desc.RemoveRefIntField(0), vxOK);
    EXPECT_EQ(desc.IndexCount(), userIndexes);
    EXPECT_EQ(desc.IndexPosByName("PEDIDO"), FindIndexWithKeys(desc, {2, 5}));
}

TEST(TableDescRefInt, ARuleNamedPrimaryNeverRenamesThePrimaryKey)
{
    // ITENS keyed by (PEDIDO, SERIE_PED): the rule's fields are the primary key itself.
    TvxTableDesc desc = MakeTable("ITENS", {{"PEDIDO", fldLong}, {"SERIE_PED", fldLong}});
    AddPrimaryKey(desc, 2);
    desc.AddRefInt(MakeRule("PRIMARY"));
    ASSERT_EQ(desc.SetRefIntMaster(0, Master()), vxOK);
    ASSERT_EQ(desc.AddRefIntField(1, 0), vxOK);
    ASSERT_EQ(desc.AddRefIntField(2, 0), vxOK);
    EXPECT_EQ(desc.IndexCount(), 1); // the primary key carries the rule
    desc.RenameRefInt("primary", "PED");
    EXPECT_EQ(desc.GetRefInt(0)->name(), "PED");
    EXPECT_EQ(desc.GetIndex(0)->name(), "");
    EXPECT_TRUE(desc.GetIndex(0)->primary());
}

TEST(TableDescRefInt, RuleFieldsFollowInsertedAndDeletedFields)
{
    TvxTableDesc desc = Dependent();
    desc.AddRefInt(MakeRule("R"));
    ASSERT_EQ(desc.SetRefIntMaster(0, Master()), vxOK);
    ASSERT_EQ(desc.AddRefIntField(2, 0), vxOK);
    ASSERT_EQ(desc.AddRefIntField(3, 0), vxOK);
    const int carrier = desc.IndexPosByName("R");
    ASSERT_GE(carrier, 0);

    // A field inserted as number 2: rule and index move up together; the index stays protected.
    desc.InsertField(MakeField("NOVO", 2, fldLong), 1);
    desc.RenumberIndexFields(2, 0);
    EXPECT_EQ(desc.GetRefInt(0)->thisField(0), 3);
    EXPECT_EQ(desc.GetRefInt(0)->thisField(1), 4);
    EXPECT_EQ(desc.GetRefInt(0)->otherField(0), 1); // the master's fields are the master's
    EXPECT_EQ(desc.CheckIndexInUse(carrier), vxErrIndexUsedByRefInt);
    Strings names;
    desc.ListRuleFields(names, 0);
    EXPECT_EQ(names, (Strings{"PEDIDO", "SERIE_PED"}));

    // Field 1 deleted: numbers drop. Then PEDIDO (now 2) deleted: the rule loses it and SERIE_PED.
    desc.DeleteField(0);
    desc.RenumberIndexFields(1, 1);
    EXPECT_EQ(desc.GetRefInt(0)->thisField(0), 2);
    EXPECT_EQ(desc.GetRefInt(0)->thisField(1), 3);
    desc.DeleteField(1);
    desc.RenumberIndexFields(2, 1);
    EXPECT_EQ(desc.RefIntFilledCount(0), 0);
    EXPECT_EQ(desc.GetRefInt(0)->thisField(1), 0);
    EXPECT_FALSE(desc.AllRefIntsComplete());
}

int IndexesNamed(const TvxTableDesc& desc, std::string_view name)
{
    int n = 0;
    for (const TvxIndexDesc& index : desc.Indexes())
        n += SameText(index.name(), name) ? 1 : 0;
    return n;
}

// A rule that loses one of its fields loses the index it made; completed again, it has exactly
// one index of its name, over its new fields. Rules of one and of two fields, either field lost,
// and the field deleted (DeleteField) or only renumbered away (the index survives and is
// re-pointed).
TEST(TableDescRefInt, ARuleThatLosesAFieldNeverEndsWithTwoIndexesOfOneName)
{
    TvxTableDesc oneKeyMaster = MakeTable("CLIENTES", {{"COD", fldLong}});
    AddPrimaryKey(oneKeyMaster, 1);
    struct Case
    {
        bool twoFields;
        int lost; // field number taken away
        bool deleted;
    };
    const Case cases[] = {{true, 2, true}, {true, 3, true}, {false, 2, true},
                          {true, 2, false}, {true, 3, false}, {false, 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.twoFields << " " << c.lost << " " << c.deleted);
        TvxTableDesc desc = Dependent();
        desc.AddRefInt(MakeRule("R"));
        ASSERT_EQ(desc.SetRefIntMaster(0, c.twoFields ? Master() : oneKeyMaster), vxOK);
        ASSERT_EQ(desc.AddRefIntField(2, 0), vxOK);
        if (c.twoFields) {
            ASSERT_EQ(desc.AddRefIntField(3, 0), vxOK);
        }
        const std::string indexName = c.twoFields ? "R" : "PEDIDO";
        ASSERT_EQ(IndexesNamed(desc, indexName), 1);
        const int indexesBefore = desc.IndexCount();

        if (c.deleted) {
            ASSERT_TRUE(desc.DeleteField(c.lost - 1));
            EXPECT_EQ(IndexesNamed(desc, indexName), 0);
            EXPECT_EQ(desc.IndexCount(), indexesBefore - 1);
        }
        desc.RenumberIndexFields(c.lost, 1);
        EXPECT_FALSE(desc.AllRefIntsComplete());

        // Complete the rule again over OBS (and CONTADOR's neighbour ITEM for two fields).
        while (desc.RefIntFilledCount(0) > 0)
            desc.RemoveRefIntField(0);
        const int obs = desc.FieldNumber("OBS");
        ASSERT_EQ(desc.AddRefIntField(obs, 0), vxOK);
        if (c.twoFields) {
            ASSERT_EQ(desc.AddRefIntField(1, 0), vxOK);
        }
        EXPECT_TRUE(desc.AllRefIntsComplete());
        const std::string newName = c.twoFields ? "R" : "OBS";
        EXPECT_EQ(IndexesNamed(desc, newName), 1);
        const int carrier = desc.IndexPosByName(newName);
        ASSERT_GE(carrier, 0);
        EXPECT_EQ(desc.CheckIndexInUse(carrier), vxErrIndexUsedByRefInt);
        EXPECT_EQ(FindIndexWithKeys(desc, c.twoFields ? std::vector<int>{obs, 1} : std::vector<int>{obs}), carrier);
    }
}

TEST(TableDescRefInt, ASelfRelationNeedsAFieldOutsideThePrimaryKey)
{
    TvxTableDesc desc = MakeTable("PESSOAS", {{"ID", fldLong}, {"PAI", fldLong}});
    AddPrimaryKey(desc, 1);
    desc.AddRefInt(MakeRule("PAI_R"));
    ASSERT_EQ(desc.SetRefIntMaster(0, desc), vxOK);
    EXPECT_EQ(desc.GetRefInt(0)->otherTable(), "PESSOAS.DB");
    EXPECT_EQ(desc.AddRefIntField(1, 0), vxErrSelfRelation);
    EXPECT_EQ(desc.RefIntFilledCount(0), 0);
    EXPECT_EQ(desc.AddRefIntField(2, 0), vxOK);
    EXPECT_TRUE(desc.AllRefIntsComplete());
    EXPECT_EQ(desc.FindIndex("PAI"), 1);
}

TEST(TableDescRefInt, AMasterWhoseFirstIndexIsSecondaryIsRefused)
{
    TvxTableDesc master = MakeTable("M", {{"A", fldLong}, {"B", fldLong}});
    master.AddIndex(MakeIndex("SEC", {2}));
    AddPrimaryKey(master, 1);
    TvxTableDesc desc = Dependent();
    desc.AddRefInt(MakeRule("R"));
    ASSERT_EQ(desc.SetRefIntMaster(0, Master()), vxOK);
    const TvxRefIntDesc before = *desc.GetRefInt(0);
    EXPECT_EQ(desc.SetRefIntMaster(0, master), vxErrMasterNoPrimaryKey);
    EXPECT_EQ(desc.SetRefIntMaster(0, TvxTableDesc{}), vxErrMasterNoPrimaryKey);
    EXPECT_EQ(*desc.GetRefInt(0), before);
    EXPECT_EQ(desc.SetRefIntMaster(3, Master()), vxErrRefIntNotFound);
}

TEST(TableDescRefInt, PositionsAndNumbersOutsideTheTable)
{
    TvxTableDesc desc = Dependent();
    EXPECT_EQ(desc.AddRefIntField(1, 0), vxErrRefIntNotFound);
    EXPECT_EQ(desc.RemoveRefIntField(-1), vxErrRefIntNotFound);
    desc.AddRefInt(MakeRule("R"));
    desc.SetRefIntMaster(0, Master());
    EXPECT_EQ(desc.AddRefIntField(6, 0), vxErrRefIntFieldNotFound);
    EXPECT_EQ(desc.AddRefIntField(0, 0), vxErrRefIntFieldNotFound);
    EXPECT_FALSE(desc.DeleteRefInt(1));
    EXPECT_EQ(desc.GetRefInt(1), nullptr);

    // A damaged rule: field count far above 16, field numbers past the table.
    TvxRefIntDesc& rule = desc.RefIntAt(0);
    rule.setFieldCount(5000);
    for (int k = 0; k < 16; ++k)
        rule.setThisField(k, 900 + k);
    EXPECT_EQ(desc.RefIntFilledCount(0), 16);
    EXPECT_EQ(desc.AddRefIntField(1, 0), vxErrRefIntMaxFields);
    Strings names;
    desc.ListRuleFields(names, 0);
    EXPECT_EQ(names.size(), 16u);
    EXPECT_EQ(names[0], "");
    desc.ListMasterFields(names, Master(), 0);
    EXPECT_EQ(names.size(), 32u);
    EXPECT_EQ(desc.RemoveRefIntField(0), vxOK);
    EXPECT_EQ(desc.RefIntFilledCount(0), 15);
}

TEST(TableDescRefInt, LimitNamesAndDeletion)
{
    TvxTableDesc desc = Dependent();
    desc.AddRefInt(MakeRule("NewRefInt1"));
    desc.AddRefInt(MakeRule("newrefint2"));
    EXPECT_EQ(desc.NewRefIntName(), "NewRefInt3");
    EXPECT_TRUE(desc.RefIntExists("NEWREFINT2"));
    EXPECT_EQ(desc.RefIntPosByName("NEWREFINT2"), 1);
    ASSERT_NE(desc.FindRefInt("newRefInt1"), nullptr);
    EXPECT_EQ(desc.FindRefInt("nada"), nullptr);

    // Deleting a rule leaves its index alone.
    desc.AddIndex(MakeIndex("newrefint2", {2}));
    const int indexes = desc.IndexCount();
    EXPECT_TRUE(desc.DeleteRefInt(1));
    EXPECT_EQ(desc.IndexCount(), indexes);
    EXPECT_EQ(desc.RefIntCount(), 1);

    while (desc.RefIntCount() < 255)
        ASSERT_EQ(desc.AddRefInt(MakeRule(desc.NewRefIntName())), vxOK);
    EXPECT_EQ(desc.AddRefInt(MakeRule("X")), vxErrMaxRefInts);
    EXPECT_EQ(desc.RefIntCount(), 255);
    EXPECT_EQ(static_cast<int>(desc.RefInts().size()), desc.CursorProps().refIntCount());
}

TEST(TableDescRefInt, CheckMasterTables)
{
    auto make = [] {
        TvxTableDesc desc = Dependent();
        const char* others[] = {"C:\\DADOS\\PEDIDOS.DB", "/x/SUMIU.DB", "FALTA.DB", "itens.db", "Clientes.DB"};
        for (const char* other : others) {
            desc.AddRefInt(MakeRule(other));
            desc.RefIntAt(desc.RefIntCount() - 1).setOtherTable(other);
        }
        return desc;
    };
    const std::vector<std::string> tables{"pedidos", "CLIENTES"};

    TvxTableDesc kept = make();
    EXPECT_EQ(kept.CheckMasterTables("Itens", tables, false), 2);
    EXPECT_EQ(kept.RefIntCount(), 5);

    // Two missing masters in a row are both removed; the own table counts as present.
    TvxTableDesc cleaned = make();
    EXPECT_EQ(cleaned.CheckMasterTables("Itens", tables, true), 0);
    ASSERT_EQ(cleaned.RefIntCount(), 3);
    EXPECT_EQ(cleaned.GetRefInt(0)->otherTable(), "C:\\DADOS\\PEDIDOS.DB");
    EXPECT_EQ(cleaned.GetRefInt(1)->otherTable(), "itens.db");
    EXPECT_EQ(cleaned.GetRefInt(2)->otherTable(), "Clientes.DB");
    EXPECT_EQ(cleaned.CheckMasterTables("ITENS", tables, false), 0);
    EXPECT_EQ(cleaned.CheckMasterTables("OUTRA", tables, false), 2);

    // A master-side rule answers 1 and is kept.
    cleaned.RefIntAt(2).setKind(TvxRefIntDesc::Master);
    cleaned.RefIntAt(2).setOtherTable("NAO_EXISTE.DB");
    EXPECT_EQ(cleaned.CheckMasterTables("ITENS", tables, true), 1);
    EXPECT_EQ(cleaned.RefIntCount(), 3);

    TvxTableDesc all = make();
    EXPECT_EQ(all.CheckMasterTables("", {}, true), 0);
    EXPECT_EQ(all.RefIntCount(), 0);
}

TEST(TableDescRefInt, RelationItemsAreFreedByReset)
{
    TvxRefIntRel rel;
    rel.ThisLabels().push_back({"PEDIDO", 0, 10, 70, 13, true});
    rel.MasterLabels().push_back({"NUMERO", 100, 10, 70, 13, false});
    rel.Connectors().push_back({"<------>", 70, 10, 30, 13, false});
    rel.Reset();
    EXPECT_TRUE(rel.ThisLabels().empty());
    EXPECT_TRUE(rel.MasterLabels().empty());
    EXPECT_TRUE(rel.Connectors().empty());
}
