// Undo and redo of a script and its table list. Property: random edits made as the window makes
// them (builder commands, descriptor edits that record no command, table selection), captured
// after each alone or joined to the step before in a group, interleaved with random undos and redos, always leave the script and the tables
// exactly as they were at that point of the history, and the builder goes on working on the
// restored state as on one it built itself; the saved state is known again while reachable.

#include "script/TvxScriptHistory.h"
#include "stream/TWriter.h"
#include "stream/TvxMemoryStream.h"

#include <random>

#include "BuilderFixture.h"

namespace morvane::test {
namespace {

// Everything undo must restore: the command texts and each table's name and records.
std::string State(const TvxDBScript& script, const TvxScriptTableList& list)
{
    std::string state;
    for (const std::string& text : script.CommandTexts())
        state += text + '\n';
    for (int t = 0; t < list.Count(); ++t) {
        const TvxTableDesc& desc = *list.TableAt(t);
        state += list.NameAt(t) + '|';
        state.append(desc.CursorProps().bytes().begin(), desc.CursorProps().bytes().end());
        TvxMemoryStream structure;
        {
            TWriter writer(structure);
            desc.WriteStructure(writer);
        }
        state.append(structure.Bytes().begin(), structure.Bytes().end());
    }
    return state;
}

class ScriptHistoryTest : public BuilderTest
{
protected:
    int Below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
    std::string Pick(const std::vector<std::string>& from)
    {
        return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))];
    }

    // One edit the menus offer, on the selected table and grid row.
    void Edit()
    {
        const int fields = list.FieldCount();
        if (list.Count() > 0 && Below(4) == 0)
            list.SelectIndex(Below(list.Count()));
        if (list.ItemIndex() >= 0)
            list.SetCurrentFieldPos(Below(fields + 1));
        const int pos = list.CurrentFieldPos();
        const bool onField = list.CurrentField() != nullptr;
        switch (Below(8)) {
        case 0:
            CreateTable(Pick(tableNames));
            break;
        case 1:
            AddTable(Pick(tableNames), SourceTable("FONTE", {"A", "B", "C"}));
            break;
        case 2:
        case 3:
            if (list.ItemIndex() >= 0 && CreateField(list.SelectedName(), Pick(fieldNames), pos + 1) == 0)
                list.RenumberIndexFields(pos + 1, 0);
            break;
        case 4:
            if (onField) {
                TvxFieldDesc to = *list.CurrentField();
                to.setName(Pick(fieldNames));
                to.setUnits1(1 + Below(30));
                ChangeField(list.SelectedName(), *list.CurrentField(), to);
            }
            break;
        case 5:
            if (onField && DeleteField(list.SelectedName(), list.CurrentField()->name()) == 0)
                list.RenumberIndexFields(pos + 1, 1);
            break;
        case 6:
            if (onField) {
                TvxIndexDesc index;
                index.setName(list.NewIndexName());
                index.setKeyFieldCount(1);
                index.setKeyField(0, pos + 1);
                list.AddIndex(index);
            } else if (list.ItemIndex() >= 0) {
                list.SelectedTable()->SetProtected(!list.SelectedTable()->Protected());
            }
            break;
        default:
            if (list.ItemIndex() < 0)
                break;
            if (Below(2) == 0) {
                Add(ckDeleteTable, {list.SelectedName()});
            } else {
                const std::string name = Pick(tableNames);
                if (Add(ckChangeTable, {list.SelectedName(), name}) == 0)
                    list.SelectedTable()->SetAllNames(name);
            }
            break;
        }
    }

    std::mt19937 random;
    const std::vector<std::string> tableNames{"NOVA", "CLI2", "PED2", "OUTRA", "nova"};
    const std::vector<std::string> fieldNames{"COD", "NOME", "VALOR", "X", "Y", "obs"};
};

TEST_F(ScriptHistoryTest, RandomEditsUndosAndRedosRestoreEachStateExactly)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        script.Clear();
        list.ClearTables();
        random.seed(seed);
        TvxScriptHistory history(script, list);
        // states[i]: the state with i steps done; states beyond the position can be redone.
        std::vector<std::string> states{State(script, list)};
        std::size_t position = 0;
        // groups[i]: the group the step to states[i] was captured in.
        std::vector<int> groups{0};
        // The position of the state saved last; -1 once the history cannot reach it.
        long saved = 0;
        for (int action = 0; action < 80; ++action) {
            const int choice = Below(11);
            if (choice == 10) {
                history.MarkSaved();
                saved = static_cast<long>(position);
            } else if (choice < 2) {
                const bool done = history.Undo();
                ASSERT_EQ(done, position > 0) << "seed " << seed << " action " << action;
                position -= done ? 1 : 0;
            } else if (choice < 3) {
                const bool done = history.Redo();
                ASSERT_EQ(done, position + 1 < states.size()) << "seed " << seed << " action " << action;
                position += done ? 1 : 0;
            } else {
                const bool nothingToRedo = position + 1 == states.size();
                Edit();
                const std::string now = State(script, list);
                const bool changed = now != states[position];
                if (changed) {
                    if (saved > static_cast<long>(position))
                        saved = -1;
                    states.resize(position + 1);
                    states.push_back(now);
                }
                if (Below(3) == 0) {
                    // Left for Undo, which takes the change in first and then takes it back.
                    const bool undone = history.Undo();
                    ASSERT_EQ(undone, changed || position > 0) << "seed " << seed << " action " << action;
                    position -= !changed && undone ? 1 : 0;
                    if (changed) {
                        groups.resize(states.size() - 1);
                        groups.push_back(0);
                    }
                } else {
                    // A step captured in the group of the step before, with nothing to redo and
                    // the state before not the saved one, joins it (and goes when it undoes it).
                    const int group = Below(3);
                    const bool joins = group != 0 && position > 0 && groups[position] == group && nothingToRedo &&
                                       saved != static_cast<long>(position);
                    ASSERT_EQ(history.Capture(group), changed) << "seed " << seed << " action " << action;
                    if (changed) {
                        groups.resize(position + 1);
                        if (joins) {
                            states.erase(states.end() - 2);
                            groups.pop_back();
                            --position;
                        }
                        if (joins && states[position] == states.back()) {
                            states.pop_back(); // the run ended where it began
                        } else {
                            ++position;
                            groups.push_back(group);
                        }
                    }
                }
            }
            ASSERT_EQ(State(script, list), states[position]) << "seed " << seed << " action " << action;
            ASSERT_EQ(history.AtSavedState(), saved == static_cast<long>(position)) << "seed " << seed << " action " << action;
            ASSERT_EQ(history.UndoCount(), static_cast<int>(position));
            ASSERT_EQ(history.RedoCount(), static_cast<int>(states.size() - 1 - position));
            ASSERT_EQ(RecordedNumbersMismatch(script, list), "") << "seed " << seed << " action " << action;
            ASSERT_TRUE(list.ItemIndex() < list.Count());
        }
    }
}

} // namespace
} // namespace morvane::test
