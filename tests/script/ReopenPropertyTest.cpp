// Property: any sequence of edits, made as the main window makes them (builder, table list and
// the descriptor edits that record no command), saved as a document and opened again (the
// tables rebuilt by replaying the commands, then the saved descriptor records read) gives the
// same tables, byte for byte, and the same command texts. Thousands of random sequences.

#include "script/TvxScriptDocument.h"
#include "script/TvxScriptReplayer.h"
#include "stream/TvxMemoryStream.h"

#include <map>
#include <random>

#include "BuilderFixture.h"

namespace morvane::test {
namespace {

std::vector<std::uint8_t> Structures(const TvxScriptTableList& list)
{
    TvxMemoryStream stream;
    list.WriteAllStructures(stream);
    return stream.Bytes();
}

// The source database: two tables, one with a primary key and a BCD field.
std::map<std::string, std::unique_ptr<TvxTableDesc>> SourceDatabase()
{
    std::map<std::string, std::unique_ptr<TvxTableDesc>> sources;
    sources["CLIENTES"] = SourceTable("CLIENTES", {"COD", "NOME", "FONE", "EMAIL", "CIDADE"});
    auto pedidos = SourceTable("PEDIDOS", {"NUM", "DATA"});
    auto fields = pedidos->Fields();
    fields.push_back(MakeField("VALOR", 3, fldBcd, 2));
    pedidos->SetFields(fields);
    TvxIndexDesc key;
    key.setPrimary(true);
    key.setKeyFieldCount(1);
    key.setKeyField(0, 1);
    pedidos->SetIndexes({key});
    sources["PEDIDOS"] = std::move(pedidos);
    return sources;
}

// One editing session: the edits the menus offer, chosen at random, each followed by what the
// window does after an accepted command.
class Session
{
public:
    Session(unsigned seed, const std::map<std::string, std::unique_ptr<TvxTableDesc>>& sources)
        : random_(seed), sources_(sources)
    {
        script_.SetScriptTableList(&list_);
    }

    void Edit()
    {
        switch (Below(12)) {
        case 0:
            Add(ckCreateTable, {Pick(tableNames_)});
            break;
        case 1:
            AddTable();
            break;
        case 2:
            if (list_.Count() > 0)
                list_.SelectIndex(Below(list_.Count()));
            break;
        case 3:
        case 4:
            CreateField();
            break;
        case 5:
            ChangeField();
            break;
        case 6:
            MoveField();
            break;
        case 7:
        case 8:
            DeleteField();
            break;
        case 9:
            RenameTable();
            break;
        case 10:
            if (Below(3) == 0 && list_.ItemIndex() >= 0)
                Add(ckDeleteTable, {list_.SelectedName()});
            else
                EditDescriptor();
            break;
        default:
            Add(ckAddPassword, {Pick(tableNames_), std::string("pw")});
            break;
        }
    }

    const TvxDBScript& Script() const { return script_; }
    const TvxScriptTableList& List() const { return list_; }

private:
    int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    std::string Pick(const std::vector<std::string>& from)
    {
        return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))];
    }

    int Add(std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras = {})
    {
        auto command = std::make_unique<TvxCommand>(kind, values);
        return script_.AddCommand(command, std::move(extras));
    }

    // A record as the field dialog returns it: number, name, type and size of the field given,
    // then the entered name, type and size (the other unit left as it was).
    TvxFieldDesc Edited(const TvxFieldDesc& from)
    {
        TvxFieldDesc f;
        f.setFieldNumber(from.fieldNumber());
        f.setName(Below(3) == 0 ? from.name() : Pick(fieldNames_));
        f.setType(from.type());
        f.setUnits1(from.units1());
        f.setUnits2(from.units2());
        f.setLength(from.length());
        if (Below(2) == 0) {
            static const int types[] = {fldAlpha, fldLong, fldBcd, fldShort, fldMemo};
            f.setType(types[Below(5)]);
        }
        const int size = 1 + Below(40);
        if (f.type() == fldBcd)
            f.setUnits2(size);
        else
            f.setUnits1(size);
        return f;
    }

    // Puts the grid on a row of the selected table: a field row, or the blank row when allowed.
    bool ChooseRow(bool blankRowToo)
    {
        const int n = list_.FieldCount();
        if (list_.ItemIndex() < 0 || (n == 0 && !blankRowToo))
            return false;
        list_.SetCurrentFieldPos(Below(blankRowToo ? n + 1 : n));
        return true;
    }

    void AddTable()
    {
        const auto& [name, source] = *std::next(sources_.begin(), Below(static_cast<int>(sources_.size())));
        Add(ckAddTable, {Below(2) == 0 ? name : Pick(tableNames_)},
            TvxCommandExtras::ForAddTable(std::make_unique<TvxTableDesc>(source->Clone())));
    }

    void CreateField()
    {
        if (!ChooseRow(true))
            return;
        const int row = list_.CurrentFieldPos() + 1;
        TvxFieldDesc blank;
        blank.setFieldNumber(row);
        blank.setType(fldAlpha);
        const TvxFieldDesc field = Edited(blank);
        if (Add(ckCreateField, {list_.SelectedName()},
                TvxCommandExtras::ForCreateField(field, Below(2) == 0 ? TvxValue{} : TvxValue{std::string("v")})) == 0)
            list_.RenumberIndexFields(row, 0);
    }

    void ChangeField()
    {
        if (!ChooseRow(false))
            return;
        const TvxFieldDesc current = *list_.CurrentField();
        Add(ckChangeField, {list_.SelectedName()}, TvxCommandExtras::ForFields(current, Edited(current)));
    }

    void MoveField()
    {
        if (!ChooseRow(true))
            return;
        const auto& [name, source] = *std::next(sources_.begin(), Below(static_cast<int>(sources_.size())));
        const TvxFieldDesc& from = source->Fields()[static_cast<std::size_t>(Below(source->FieldCount()))];
        TvxFieldDesc target = Edited(from);
        const int row = list_.CurrentFieldPos() + 1;
        target.setFieldNumber(row);
        if (Add(ckMoveField, {name, list_.SelectedName()}, TvxCommandExtras::ForFields(from, target)) == 0)
            list_.RenumberIndexFields(row, 0);
    }

    void DeleteField()
    {
        if (!ChooseRow(false))
            return;
        const int row = list_.CurrentFieldPos() + 1;
        if (Add(ckDeleteField, {list_.SelectedName(), list_.CurrentField()->name()}) == 0)
            list_.RenumberIndexFields(row, 1);
    }

    void RenameTable()
    {
        if (list_.ItemIndex() < 0)
            return;
        const std::string name = Pick(tableNames_);
        if (Add(ckChangeTable, {list_.SelectedName(), name}) == 0)
            list_.SelectedTable()->SetAllNames(name);
    }

    // Index and check edits change the descriptor only; the document carries them as records.
    void EditDescriptor()
    {
        if (!ChooseRow(false))
            return;
        if (Below(2) == 0) {
            list_.AddValCheck("", "", *list_.CurrentField(), true, "", "");
        } else {
            TvxIndexDesc index;
            index.setName(list_.NewIndexName());
            index.setKeyFieldCount(1);
            index.setKeyField(0, list_.CurrentFieldPos() + 1);
            list_.AddIndex(index);
        }
    }

    std::mt19937 random_;
    const std::map<std::string, std::unique_ptr<TvxTableDesc>>& sources_;
    const std::vector<std::string> tableNames_{"NOVA", "nova", "CLI2", "PED2", "CLIENTES", "OUTRA"};
    const std::vector<std::string> fieldNames_{"COD", "cod", "NOME", "VALOR", "X", "Y", "Z", "W", "Q", "obs"};
    TvxScriptTableList list_;
    TvxDBScript script_;
};

TEST(ReopenProperty, AnySequenceOfEditsReopensAsItWasSaved)
{
    const auto sources = SourceDatabase();
    for (unsigned seed = 1; seed <= 4000; ++seed) {
        Session session(seed, sources);
        const int edits = 5 + static_cast<int>(seed % 60);
        for (int i = 0; i < edits; ++i) {
            session.Edit();
            ASSERT_EQ(RecordedNumbersMismatch(session.Script(), session.List()), "")
                << "seed " << seed << " edit " << i;
        }

        TvxMemoryStream saved;
        WriteScriptDocument(saved, "Morvane", session.Script(),
                            [&](TvxStream& s) { session.List().WriteAllDescriptors(s); });
        TvxScriptTableList list;
        TvxDBScript script;
        TvxScriptReplayer replayer(list, [&](std::string_view name) -> const TvxTableDesc* {
            const auto it = sources.find(std::string(name));
            return it == sources.end() ? nullptr : it->second.get();
        });
        script.AfterLoad = [&](TvxCommand& c) { replayer.Apply(c); };
        saved.SetPosition(0);
        bool descriptorsRead = false;
        ReadScriptDocument(saved, script, [&](TvxStream& s) { descriptorsRead = list.ReadAllDescriptors(s); });

        const std::vector<std::string> texts = session.Script().CommandTexts();
        ASSERT_EQ(script.CommandTexts(), texts) << "seed " << seed;
        ASSERT_TRUE(descriptorsRead) << "seed " << seed;
        ASSERT_EQ(list.Count(), session.List().Count()) << "seed " << seed;
        for (int t = 0; t < list.Count(); ++t)
            ASSERT_EQ(list.NameAt(t), session.List().NameAt(t)) << "seed " << seed;
        std::string listing;
        for (const auto& line : texts)
            listing += line + "\n";
        ASSERT_EQ(Structures(list), Structures(session.List())) << "seed " << seed << "\n" << listing;
    }
}

} // namespace
} // namespace morvane::test
