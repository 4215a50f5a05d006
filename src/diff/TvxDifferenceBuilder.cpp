#include "diff/TvxDifferenceBuilder.h"

#include "model/vxFieldTypes.h"
#include "model/vxTextCase.h"
#include "script/TvxScriptTableList.h"
#include "script/vxNameCompare.h"

#include "diff/EvxDifferenceError.h"

namespace morvane {

namespace {

// The record the editor hands over for a field: number, name, type, size, decimals and length,
// all else zero.
TvxFieldDesc EditorField(const TvxFieldDesc& f, int number)
{
    TvxFieldDesc out;
    out.setFieldNumber(number);
    out.setName(f.name());
    out.setType(f.type());
    out.setUnits1(f.units1());
    out.setUnits2(f.units2());
    out.setLength(f.length());
    return out;
}

// What the existing records get in a new field: the default of its validity check, if any.
TvxValue NewValueOf(const TvxTableDesc& wanted, int pos)
{
    const TvxValCheckDesc* check = wanted.FindValCheck(pos + 1);
    if (!check || !check->hasDefault())
        return {};
    const std::optional<std::string> text = ValCheckTexts(*check, wanted.GetField(pos)->type()).defaultValue;
    return text && !text->empty() ? TvxValue(*text) : TvxValue();
}

// "Change field CUST" for messages.
std::string CommandText(std::uint8_t kind, const std::vector<TvxValue>& values)
{
    std::string text = CommandKindLabel(kind);
    for (const TvxValue& v : values)
        if (const auto* s = std::get_if<std::string>(&v))
            text += " " + *s;
    return text;
}

std::string SizeText(const TvxFieldDesc& f)
{
    return "type " + std::to_string(f.type()) + " size " + std::to_string(ScriptFieldSize(f));
}

} // namespace

TvxDifferenceBuilder::TvxDifferenceBuilder(TvxDBScript& script, TvxScriptTableList& list) : script_(script), list_(list)
{}

int TvxDifferenceBuilder::Try(std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras)
{
    auto command = std::make_unique<TvxCommand>(kind, values);
    const int code = script_.AddCommand(command, std::move(extras));
    if (code != 0 && code != vxErrFieldNameInUse)
        throw EvxDifferenceError("the script does not take \"" + CommandText(kind, values) + "\" (message " +
                                 std::to_string(code) + ")");
    return code;
}

void TvxDifferenceBuilder::Record(std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras)
{
    if (Try(kind, values, std::move(extras)) != 0)
        throw EvxDifferenceError("the script does not take \"" + CommandText(kind, values) + "\": the name is in use");
}

void TvxDifferenceBuilder::Select(const std::string& table, int pos)
{
    list_.SelectIndex(list_.IndexOfName(table));
    list_.SetCurrentFieldPos(pos < 0 ? list_.FieldCount() : pos);
}

void TvxDifferenceBuilder::RecordSource(const TvxDiffDatabase& source)
{
    Record(ckAddAlias, {source.aliasName, std::string("STANDARD"), source.directory});
}

void TvxDifferenceBuilder::RecordTarget(const TvxDiffTarget& target)
{
    if (!target.Empty())
        Record(ckAddNewAlias, {target.aliasName, std::string("STANDARD"), target.directory});
}

int TvxDifferenceBuilder::InsertPos(int w, const std::vector<std::optional<std::string>>& current) const
{
    for (int j = w - 1; j >= 0; --j)
        if (current[static_cast<std::size_t>(j)])
            return list_.FieldNumber(*current[static_cast<std::size_t>(j)]);
    return 0;
}

int TvxDifferenceBuilder::TryStep(const std::string& table, const TvxTableDesc* source, const TvxTableDesc& wanted,
                                  const TvxFieldMatch& match, const FieldStep& step,
                                  std::vector<std::optional<std::string>>& current)
{
    const TvxFieldDesc& want = *wanted.GetField(step.wanted);
    auto& now = current[static_cast<std::size_t>(step.wanted)];
    int code = 0;
    switch (step.kind) {
    case FieldStep::Kind::Change: {
        Select(table, list_.FieldNumber(*now) - 1);
        const TvxFieldDesc old = *list_.CurrentField();
        code = Try(ckChangeField, {table}, TvxCommandExtras::ForFields(old, EditorField(want, old.fieldNumber())));
        break;
    }
    case FieldStep::Kind::Move: {
        const int pos = InsertPos(step.wanted, current);
        Select(table, pos);
        const TvxFieldDesc& from = *source->GetField(match.sourceOf[static_cast<std::size_t>(step.wanted)]);
        code = Try(ckMoveField, {source->TableName(), table},
                   TvxCommandExtras::ForFields(from, EditorField(want, pos + 1)));
        break;
    }
    case FieldStep::Kind::Create: {
        const int pos = InsertPos(step.wanted, current);
        Select(table, pos);
        code = Try(ckCreateField, {table},
                   TvxCommandExtras::ForCreateField(EditorField(want, pos + 1), NewValueOf(wanted, step.wanted)));
        break;
    }
    }
    if (code == 0)
        now = want.name();
    return code;
}

void TvxDifferenceBuilder::RecordFieldSteps(const std::string& table, const TvxTableDesc* source,
                                            const TvxTableDesc& wanted, const TvxFieldMatch& match,
                                            std::vector<FieldStep> steps,
                                            std::vector<std::optional<std::string>>& current)
{
    // A step whose name another field still holds waits for that field's own step. A field that
    // is moved in again needs its source name free until then: a field that would take that name
    // waits for the move. When a whole round records nothing, the steps wait for each other.
    const auto sourceName = [&](const FieldStep& step) {
        return source->GetField(match.sourceOf[static_cast<std::size_t>(step.wanted)])->name();
    };
    while (!steps.empty()) {
        std::vector<FieldStep> waiting;
        for (const FieldStep& step : steps) {
            bool reserved = false;
            if (step.kind != FieldStep::Kind::Move)
                for (const FieldStep& other : steps)
                    reserved = reserved || (other.kind == FieldStep::Kind::Move && other.wanted != step.wanted &&
                                            !current[static_cast<std::size_t>(other.wanted)] &&
                                            UpperCaseEqual(sourceName(other), wanted.GetField(step.wanted)->name()));
            if (reserved || TryStep(table, source, wanted, match, step, current) != 0)
                waiting.push_back(step);
        }
        if (waiting.size() == steps.size()) {
            std::string names;
            for (const FieldStep& step : waiting) {
                const bool matched = match.sourceOf[static_cast<std::size_t>(step.wanted)] >= 0;
                names += std::string(names.empty() ? "" : ", ") + (matched ? sourceName(step) + "=" : "") +
                         wanted.GetField(step.wanted)->name();
            }
            throw EvxDifferenceError("table " + table + ": the fields " + names +
                                     " take each other's names, which one script cannot record; "
                                     "rename them in two steps (two scripts)");
        }
        steps = std::move(waiting);
    }
}

void TvxDifferenceBuilder::RecordPassword(const std::string& table, const std::string& password)
{
    Record(ckAddPassword, {table, password});
    list_.TableByName(table)->SetProtected(true);
}

void TvxDifferenceBuilder::SetDescriptors(const std::string& table, const TvxTableDesc& wanted)
{
    TvxTableDesc& desc = *list_.TableByName(table);
    desc.SetIndexes(wanted.Indexes());
    desc.SetValChecks(wanted.ValChecks());
    // The new structure holds a table's rules on other tables; the other side follows from them.
    std::vector<TvxRefIntDesc> rules;
    for (const TvxRefIntDesc& r : wanted.RefInts())
        if (r.kind() == TvxRefIntDesc::Dependent) {
            TvxRefIntDesc copy = r;
            copy.setOtherTable(StripDirectory(r.otherTable()));
            rules.push_back(copy);
        }
    desc.SetRefInts(std::move(rules));
}

TvxFieldMatch TvxDifferenceBuilder::AddMatched(const TvxTableDesc& source, const TvxTableDesc& wanted,
                                               const std::vector<TvxFieldRename>& renames, TvxTableDifference& report)
{
    const std::string table = wanted.TableName();
    const TvxFieldMatch match = MatchFields(source, wanted, renames);
    Record(ckAddTable, {table}, TvxCommandExtras::ForAddTable(std::make_unique<TvxTableDesc>(source.Clone())));

    // Fields dropped, and fields that leave their place to come back at another.
    std::vector<bool> out(static_cast<std::size_t>(source.FieldCount()), true);
    for (std::size_t w = 0; w < match.sourceOf.size(); ++w)
        if (match.sourceOf[w] >= 0 && match.stays[w])
            out[static_cast<std::size_t>(match.sourceOf[w])] = false;
    for (int s = 0; s < source.FieldCount(); ++s)
        if (out[static_cast<std::size_t>(s)]) {
            Select(table);
            Record(ckDeleteField, {table, source.GetField(s)->name()});
        }
    for (int s : match.dropped)
        report.deleted.push_back(source.GetField(s)->name());

    std::vector<FieldStep> steps;
    std::vector<std::optional<std::string>> current(match.sourceOf.size());
    for (int w = 0; w < wanted.FieldCount(); ++w) {
        const int s = match.sourceOf[static_cast<std::size_t>(w)];
        const TvxFieldDesc& want = *wanted.GetField(w);
        if (s < 0) {
            steps.push_back({FieldStep::Kind::Create, w});
            report.created.push_back(want.name());
            continue;
        }
        const TvxFieldDesc& from = *source.GetField(s);
        if (from.name() != want.name())
            report.renamed.push_back(from.name() + " -> " + want.name());
        if (from.type() != want.type() || ScriptFieldSize(from) != ScriptFieldSize(want))
            report.changed.push_back(want.name() + ": " + SizeText(from) + " -> " + SizeText(want));
        if (!match.stays[static_cast<std::size_t>(w)]) {
            steps.push_back({FieldStep::Kind::Move, w});
            report.moved.push_back(want.name());
            continue;
        }
        current[static_cast<std::size_t>(w)] = from.name();
        if (!SameScriptField(from, want))
            steps.push_back({FieldStep::Kind::Change, w});
    }
    RecordFieldSteps(table, &source, wanted, match, std::move(steps), current);
    SetDescriptors(table, wanted);
    return match;
}

void TvxDifferenceBuilder::AddCreated(const TvxTableDesc& wanted, TvxTableDifference& report)
{
    const std::string table = wanted.TableName();
    Record(ckCreateTable, {table});
    TvxFieldMatch match;
    match.sourceOf.assign(static_cast<std::size_t>(wanted.FieldCount()), -1);
    match.stays.assign(static_cast<std::size_t>(wanted.FieldCount()), false);
    std::vector<FieldStep> steps;
    for (int w = 0; w < wanted.FieldCount(); ++w) {
        steps.push_back({FieldStep::Kind::Create, w});
        report.created.push_back(wanted.GetField(w)->name());
    }
    std::vector<std::optional<std::string>> current(match.sourceOf.size());
    RecordFieldSteps(table, nullptr, wanted, match, std::move(steps), current);
    SetDescriptors(table, wanted);
}

} // namespace morvane
