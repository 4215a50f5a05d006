// The builder finds commands through a per-table index. After long random runs of edits that
// insert at the head, fold, rename, delete and replace commands, every look-up must still answer
// what a plain scan of the script answers.

#include "script/vxNameCompare.h"

#include <algorithm>
#include <random>

#include "BuilderFixture.h"

namespace morvane::test {
namespace {

int ScanTableCommand(const TvxDBScript& s, const std::string& name)
{
    for (int i = 0; i < s.Count(); ++i) {
        const TvxCommand& c = *s.Command(i);
        if ((c.Kind() == ckCreateTable || c.Kind() == ckAddTable) &&
            UpperCaseEqual(c.ParamText(CreateTableParam::Table), name))
            return i;
    }
    return -1;
}

int ScanFieldCommand(const TvxDBScript& s, const std::string& table, const std::string& field)
{
    for (int i = 0; i < s.Count(); ++i) {
        const TvxCommand& c = *s.Command(i);
        const bool hit = (c.Kind() == ckCreateField && UpperCaseEqual(c.ParamText(CreateFieldParam::Table), table) &&
                          UpperCaseEqual(c.ParamText(CreateFieldParam::FieldName), field)) ||
                         (c.Kind() == ckChangeField && UpperCaseEqual(c.ParamText(ChangeFieldParam::Table), table) &&
                          UpperCaseEqual(c.ParamText(ChangeFieldParam::NewName), field)) ||
                         (c.Kind() == ckMoveField && UpperCaseEqual(c.ParamText(MoveFieldParam::TargetTable), table) &&
                          UpperCaseEqual(c.ParamText(MoveFieldParam::TargetName), field));
        if (hit)
            return i;
    }
    return -1;
}

std::string ScanNewValue(const TvxDBScript& s, const std::string& table, const std::string& field)
{
    for (int i = 0; i < s.Count(); ++i) {
        const TvxCommand& c = *s.Command(i);
        if (c.Kind() == ckCreateField && UpperCaseEqual(c.ParamText(CreateFieldParam::Table), table) &&
            UpperCaseEqual(c.ParamText(CreateFieldParam::FieldName), field))
            return c.ParamText(CreateFieldParam::NewValue);
    }
    return {};
}

TEST_F(BuilderTest, LookUpsAnswerAsAScanAfterRandomEdits)
{
    const std::vector<std::string> tables{"A", "a", "B", "Cc"};
    const std::vector<std::string> fields{"X", "x", "Y", "Z"};
    std::mt19937 random(20240517);
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    auto number = [&] { return static_cast<int>(random() % 4) + 1; };

    for (int step = 0; step < 3000; ++step) {
        if (list.Count() > 0)
            list.SelectIndex(static_cast<int>(random() % static_cast<unsigned>(list.Count())));
        const std::string table = pick(tables);
        const std::string field = pick(fields);
        switch (random() % 12) {
        case 0:
            CreateTable(table);
            break;
        case 1:
            AddTable(table, SourceTable("SRC", {"X", "W"}));
            break;
        case 2:
            CreateField(table, field, number(), field + "!");
            break;
        case 3:
            ChangeField(table, MakeField(field, number()), MakeField(pick(fields), number()));
            break;
        case 4:
            DeleteField(table, field);
            break;
        case 5:
            Add(ckMoveField, {pick(tables), table},
                TvxCommandExtras::ForFields(MakeField(field), MakeField(field, number())));
            break;
        case 6:
            Add(ckChangeTable, {table, pick(tables)});
            break;
        case 7:
            Add(ckDeleteTable, {table});
            break;
        case 8:
            Add(ckAddNewAlias, random() % 2 ? std::vector<TvxValue>{"", "STANDARD", "/n"} : std::vector<TvxValue>{});
            break;
        case 9:
            Add(ckAddPassword, {table, "s"});
            break;
        case 10:
            script.DeleteCommand(static_cast<int>(random() % 8));
            break;
        default:
            script.ReplaceCommand(static_cast<int>(random() % 8),
                                  MakeCommand(ckCreateField, {table, field, number(), 257, 10, 10, ""}));
            break;
        }
        const std::vector<int> kinds = Kinds();
        const bool added = std::find(kinds.begin(), kinds.end(), ckAddTable) != kinds.end();
        for (const std::string& f : fields) {
            int inSelected = -1;
            for (std::size_t i = 0; added && inSelected < 0 && i < list.Fields().size(); ++i)
                if (UpperCaseEqual(list.Fields()[i].name(), f))
                    inSelected = static_cast<int>(i);
            ASSERT_EQ(script.FindFieldInSelectedTable(f), inSelected) << "step " << step;
        }
        for (const std::string& t : tables) {
            ASSERT_EQ(script.FindTableCommand(t), ScanTableCommand(script, t)) << "step " << step;
            const TvxCommand probe(ckDeleteField, {t});
            for (const std::string& f : fields) {
                ASSERT_EQ(script.FindFieldCommand(probe, f), ScanFieldCommand(script, t, f)) << "step " << step;
                ASSERT_EQ(script.NewValueOf(t, f), ScanNewValue(script, t, f)) << "step " << step;
            }
        }
    }
}

} // namespace
} // namespace morvane::test
