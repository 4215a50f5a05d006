#pragma once
// Shared set-up of the builder and table list tests: a script linked to a table list without a
// grid (field edits append after a selection, as the list documents), short ways to build
// commands, fields and tables.

#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "support/TestFields.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace morvane::test {

inline std::unique_ptr<TvxCommand> MakeCommand(std::uint8_t kind, std::vector<TvxValue> values = {})
{
    return std::make_unique<TvxCommand>(kind, values);
}

class BuilderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        script.SetScriptTableList(&list);
        script.OnAddCommand = [this](TvxCommand& c) { announced.push_back(&c); };
    }

    int Add(std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras = {})
    {
        auto command = MakeCommand(kind, std::move(values));
        const int code = script.AddCommand(command, std::move(extras));
        EXPECT_EQ(code == 0, command == nullptr) << "ownership must pass exactly on 0";
        return code;
    }
    int CreateTable(const std::string& name) { return Add(ckCreateTable, {name}); }
    int CreateField(const std::string& table, const std::string& name, int number, const std::string& value = "")
    {
        return Add(ckCreateField, {table}, TvxCommandExtras::ForCreateField(MakeField(name, number), value));
    }
    int ChangeField(const std::string& table, const TvxFieldDesc& from, const TvxFieldDesc& to)
    {
        return Add(ckChangeField, {table}, TvxCommandExtras::ForFields(from, to));
    }
    int DeleteField(const std::string& table, const std::string& name) { return Add(ckDeleteField, {table, name}); }
    int AddTable(const std::string& name, std::unique_ptr<TvxTableDesc> source)
    {
        return Add(ckAddTable, {name}, TvxCommandExtras::ForAddTable(std::move(source)));
    }

    std::vector<int> Kinds() const
    {
        std::vector<int> kinds;
        for (int i = 0; i < script.Count(); ++i)
            kinds.push_back(script.Command(i)->Kind());
        return kinds;
    }
    std::vector<std::string> FieldNames(int entry) const
    {
        std::vector<std::string> names;
        for (const auto& f : list.TableAt(entry)->Fields())
            names.push_back(f.name());
        return names;
    }

    TvxScriptTableList list;
    TvxDBScript script;
    std::vector<TvxCommand*> announced;
};

// Every field command records, as the number of its field, the position that field has in its
// new table (+ 1): an empty text when so, else what differs.
inline std::string RecordedNumbersMismatch(const TvxDBScript& script, const TvxScriptTableList& list)
{
    std::string mismatch;
    for (int i = 0; i < script.Count(); ++i) {
        const TvxCommand& c = *script.Command(i);
        const int block = CurrentFieldBlockOf(c.Kind());
        if (block < 0)
            continue;
        const TvxTableDesc* table = list.TableByName(c.ParamText(TableParamOf(c.Kind())));
        const int number = c.ParamInteger(block + FieldBlockItem::Number);
        const int actual = table ? table->FieldNumber(c.ParamText(block + FieldBlockItem::Name)) : 0;
        if (number != actual)
            mismatch += "command " + std::to_string(i) + " records " + std::to_string(number) + ", field is " +
                        std::to_string(actual) + "; ";
    }
    return mismatch;
}

// A source table as the database connection gives it: names, fields, a primary key.
inline std::unique_ptr<TvxTableDesc> SourceTable(const std::string& name, const std::vector<std::string>& fields = {})
{
    auto desc = std::make_unique<TvxTableDesc>();
    desc->SetAllNames(name);
    desc->SetExtension("DB");
    desc->SetTableType("PARADOX");
    std::vector<TvxFieldDesc> records;
    for (std::size_t i = 0; i < fields.size(); ++i)
        records.push_back(MakeField(fields[i], static_cast<int>(i) + 1));
    desc->SetFields(std::move(records));
    return desc;
}

} // namespace morvane::test
