#include "DiffTestSupport.h"

namespace morvane::test {

namespace {

// A type and size a new field gets, and the default its check may give existing records.
struct NewType
{
    int type;
    int size;
    const char* defaultText;
};
constexpr NewType NewTypes[] = {{fldAlpha, 12, "x"},    {fldLong, 0, "7"},     {fldNumber, 0, "1.5"},
                                {fldShort, 0, "3"},     {fldDate, 0, nullptr}, {fldLogical, 0, nullptr},
                                {fldMemo, 20, nullptr}, {fldBcd, 2, nullptr}};

// A wider shape of the field that holds every value it holds (false when there is none).
bool Widen(TvxFieldDesc& f)
{
    switch (f.type()) {
    case fldAlpha:
        if (f.units1() > 245)
            return false;
        f = MakeField(f.name(), f.fieldNumber(), fldAlpha, f.units1() + 10);
        return true;
    case fldShort:
        f = MakeField(f.name(), f.fieldNumber(), fldLong);
        return true;
    case fldLong:
        f = MakeField(f.name(), f.fieldNumber(), fldNumber);
        return true;
    default:
        return false;
    }
}

bool KeyValid(const TvxTableDesc& d, const TvxIndexDesc& x)
{
    if (x.keyFieldCount() < 1)
        return false;
    for (int i = 0; i < x.keyFieldCount(); ++i) {
        const TvxFieldDesc* f = d.GetField(x.keyField(i) - 1);
        if (!f || !TypeCanBeIndexed(f->type()) || (x.primary() && x.keyField(i) != i + 1))
            return false;
    }
    return true;
}

} // namespace

void TvxWantedMaker::Add(std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras)
{
    auto command = std::make_unique<TvxCommand>(kind, values);
    ASSERT_EQ(script_.AddCommand(command, std::move(extras)), 0) << CommandKindLabel(kind);
}

void TvxWantedMaker::Select(const Table& t, int pos)
{
    list_.SelectIndex(list_.IndexOfName(t.name));
    list_.SetCurrentFieldPos(pos < 0 ? list_.FieldCount() : pos);
}

void TvxWantedMaker::CreateField(Table& t, int pos)
{
    const NewType& nt = NewTypes[Pick(std::size(NewTypes))];
    TvxFieldDesc f = MakeField(NextName("N"), pos + 1, nt.type, nt.size);
    Select(t, pos);
    Add(ckCreateField, {t.name}, TvxCommandExtras::ForCreateField(f, TvxValue()));
    Desc(t).RenumberIndexFields(pos + 1, 0);
    t.fields.insert(t.fields.begin() + pos, Field{f.name(), "", false});
    // A required field whose default fills the records the table already has.
    if (nt.defaultText && Chance(50)) {
        ASSERT_TRUE(Desc(t).AddValCheck("", "", *Desc(t).GetField(pos), true, "", nt.defaultText));
    }
}

void TvxWantedMaker::EditFields(Table& t)
{
    const int edits = Pick(5);
    for (int e = 0; e < edits; ++e) {
        const int count = static_cast<int>(t.fields.size());
        const int at = Pick(count);
        switch (Pick(4)) {
        case 0: // delete
            if (count < 2)
                break;
            Select(t, -1);
            Add(ckDeleteField, {t.name, t.fields[static_cast<std::size_t>(at)].name});
            Desc(t).RenumberIndexFields(at + 1, 1);
            t.fields.erase(t.fields.begin() + at);
            break;
        case 1: // create
            CreateField(t, Pick(count + 1));
            break;
        case 2: { // rename and / or widen
            Field& field = t.fields[static_cast<std::size_t>(at)];
            Select(t, at);
            const TvxFieldDesc from = *list_.CurrentField();
            TvxFieldDesc to = from;
            if (Chance(50) && Widen(to))
                field.sameShape = false;
            if (Chance(60))
                to.setName(NextName("R"));
            Add(ckChangeField, {t.name}, TvxCommandExtras::ForFields(from, to));
            field.name = to.name();
            break;
        }
        default: { // take a source field out and move it in again elsewhere, maybe renamed
            Field& field = t.fields[static_cast<std::size_t>(at)];
            if (field.origin.empty() || field.name != field.origin || !field.sameShape || count < 2)
                break;
            Select(t, -1);
            Add(ckDeleteField, {t.name, field.name});
            Desc(t).RenumberIndexFields(at + 1, 1);
            Field moved = field;
            t.fields.erase(t.fields.begin() + at);
            const int pos = Pick(count);
            TvxFieldDesc from;
            ASSERT_TRUE(t.source->FindField(moved.origin, from));
            TvxFieldDesc to = from;
            to.setFieldNumber(pos + 1);
            if (Chance(50))
                to.setName(NextName("R"));
            Select(t, pos);
            Add(ckMoveField, {t.source->TableName(), t.name}, TvxCommandExtras::ForFields(from, to));
            Desc(t).RenumberIndexFields(pos + 1, 0);
            moved.name = to.name();
            t.fields.insert(t.fields.begin() + pos, moved);
            break;
        }
        }
        t.edited = true;
    }
}

void TvxWantedMaker::MakeValid(Table& t, const std::vector<Table>& tables)
{
    TvxTableDesc& d = Desc(t);
    // The primary key stays where the edits left it the table's first fields; secondary
    // indexes need one.
    bool keyed = false;
    std::vector<TvxIndexDesc> indexes;
    for (const TvxIndexDesc& x : d.Indexes())
        if (x.primary() && KeyValid(d, x)) {
            indexes.insert(indexes.begin(), x);
            keyed = true;
        } else if (!x.primary() && KeyValid(d, x)) {
            indexes.push_back(x);
        }
    if (!keyed)
        indexes.clear();
    d.SetIndexes(indexes);
    // Rules only between tables the edits left alone.
    std::vector<TvxRefIntDesc> rules;
    for (const TvxRefIntDesc& r : d.RefInts()) {
        bool masterIntact = false;
        for (const Table& other : tables)
            if (other.source && !other.edited &&
                SameText(other.source->FileName(), std::string(StripDirectory(r.otherTable()))))
                masterIntact = true;
        if (!t.edited && masterIntact)
            rules.push_back(r);
    }
    d.SetRefInts(rules);
    if (keyed && Chance(40)) {
        const int n = Pick(d.FieldCount()) + 1;
        if (TypeCanBeIndexed(d.GetField(n - 1)->type()) && !d.IndexExists("ByDiff")) {
            TvxIndexDesc x;
            x.setName("ByDiff");
            x.setMaintained(true);
            x.setKeyFieldCount(1);
            x.setKeyField(0, n);
            ASSERT_EQ(d.AddIndex(x), 0);
        }
    }
}

TvxFieldRenames TvxWantedMaker::Make(const std::string& dir, const std::string& password)
{
    Add(ckAddAlias, {std::string(), std::string("STANDARD"), source_.directory});
    std::vector<Table> tables;
    for (const TvxTableDesc& s : source_.tables) {
        const bool unreadable = std::any_of(leaveOut_.begin(), leaveOut_.end(),
                                            [&](const std::string& n) { return UpperCaseEqual(n, s.TableName()); });
        if (Chance(15) || unreadable)
            continue; // left out
        Table t{s.TableName(), &s, {}, false};
        for (const TvxFieldDesc& f : s.Fields())
            t.fields.push_back({f.name(), f.name(), true});
        Add(ckAddTable, {t.name}, TvxCommandExtras::ForAddTable(std::make_unique<TvxTableDesc>(s.Clone())));
        if (Chance(60))
            EditFields(t);
        tables.push_back(std::move(t));
    }
    for (int n = Pick(3); n > 0; --n) {
        Table t{NextName("NEWT"), nullptr, {}, true};
        Add(ckCreateTable, {t.name});
        for (int f = Pick(4); f >= 0; --f)
            CreateField(t, static_cast<int>(t.fields.size()));
        tables.push_back(std::move(t));
    }

    TvxFieldRenames renames;
    for (Table& t : tables) {
        MakeValid(t, tables);
        for (const Field& f : t.fields) {
            if (f.origin.empty())
                continue;
            if (!UpperCaseEqual(f.origin, f.name))
                renames.Add({t.name, f.origin, f.name});
            if (f.sameShape)
                carried_.push_back({t.name, f.origin, f.name});
        }
        ParadoxWriteOptions options;
        if (!t.source && Chance(40))
            Desc(t).SetProtected(true);
        if (Desc(t).Protected())
            options.password = t.source ? password : NewTablePassword;
        TvxEmptySource none;
        ParadoxWriteTable(Desc(t), none, dir, t.name, options);
    }
    return renames;
}

} // namespace morvane::test
