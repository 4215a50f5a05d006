#include "server/TvxTableBuilder.h"

#include <algorithm>

#include "db/TvxResumingRecords.h"
#include "model/vxCodePage.h"
#include "model/vxFieldTypes.h"
#include "model/vxNameRules.h"
#include "model/vxTextCase.h"
#include "script/vxUpdateServerCodes.h"
#include "server/EvxRunError.h"
#include "server/IvxTableReader.h"
#include "server/IvxTableWriter.h"
#include "server/TvxRecordConverter.h"
#include "server/TvxUpdatePlanner.h"
#include "server/vxPlanRules.h"
#include "server/vxRecordSources.h"

namespace morvane {

namespace {

const char* ActionOf(TvxTablePlan::Origin origin)
{
    switch (origin) {
    case TvxTablePlan::Origin::None: return "create";
    case TvxTablePlan::Origin::Source: return "copy";
    case TvxTablePlan::Origin::Target: return "restructure";
    }
    return "";
}

// A field whose blank values the run numbers: an autoincrement field filled from a field of
// another type (whose values may be blank) or created by the script.
bool NeedsNumbering(const TvxTablePlan& plan, int pos)
{
    if (plan.desc.GetField(pos)->type() != fldAutoInc)
        return false;
    const TvxFieldOrigin& o = plan.fields[static_cast<std::size_t>(pos)];
    return o.kind != TvxFieldOrigin::Kind::Record || o.chain.front().type != fldAutoInc;
}

TvxConvert CarryAlong(const TvxFieldValue& value, const std::vector<TvxFieldShape>& chain, TvxFieldValue& out)
{
    out = value;
    TvxConvert result = TvxConvert::Exact;
    for (std::size_t i = 1; i < chain.size(); ++i) {
        TvxFieldValue next;
        result = Worse(result, ConvertValue(out, chain[i - 1], chain[i], next));
        out = std::move(next);
    }
    return result;
}

} // namespace

TvxTableDesc KeptRecordsDesc(const TvxTablePlan& plan, const std::string& name)
{
    TvxTableDesc d = plan.originDesc;
    d.SetIndexes({});
    d.SetValChecks({});
    d.SetRefInts({});
    std::vector<TvxFieldDesc> fields = d.Fields();
    for (TvxFieldDesc& f : fields)
        f.setValCheckKind(0);
    d.SetFields(std::move(fields));
    d.SetAllNames(name);
    d.SetExtension("DB");
    d.CursorProps().setTableLevel(WrittenLevel(d));
    return d;
}

TvxTableBuilder::TvxTableBuilder(IvxTableReader& source, IvxTableReader* target, IvxTableWriter* writer,
                                 std::string outputDir, TvxUpdateReport& report)
    : source_(source), target_(target), writer_(writer), outputDir_(std::move(outputDir)), report_(report)
{
}

IvxTableReader& TvxTableBuilder::ReaderOf(const TvxTablePlan& plan)
{
    return plan.origin == TvxTablePlan::Origin::Target && target_ ? *target_ : source_;
}

std::unique_ptr<IvxRecordSource> TvxTableBuilder::OpenOrigin(const TvxTablePlan& plan)
{
    if (plan.origin == TvxTablePlan::Origin::None)
        return std::make_unique<TvxEmptySource>();
    std::unique_ptr<IvxRecordSource> records;
    ReadingSource(plan.originFile, [&] { records = ReaderOf(plan).OpenRecords(plan.originFile); });
    return records;
}

std::vector<std::string> TvxTableBuilder::Build(std::vector<TvxTablePlan>& plans)
{
    for (TvxTablePlan& p : plans) {
        p.ApplyRecordedNumbers();
        p.DropBrokenRules();
    }
    CompleteRuleSides(plans);
    for (TvxTablePlan& p : plans)
        p.Finish();
    const std::size_t first = report_.tables.size();
    report_.tables.resize(first + plans.size());
    for (const int i : BuildOrder(plans))
        BuildTable(plans, i, report_.tables[first + static_cast<std::size_t>(i)]);
    return written_;
}

const TvxKeySet* TvxTableBuilder::ExistingKeys(const std::string& table, TvxTableUpdateReport& report)
{
    const std::string base = UpperText(TableBaseName(table));
    if (const auto it = existingKeys_.find(base); it != existingKeys_.end())
        return &it->second;
    const std::optional<std::string> file = target_ ? target_->FindTable(base) : std::nullopt;
    if (!file)
        return nullptr;
    try {
        const TvxTableDesc desc = target_->ReadStructure(*file);
        const std::vector<int> key = TvxRecordConverter::PrimaryKeyPositions(desc);
        if (key.empty())
            return nullptr;
        TvxKeySet keys;
        std::unique_ptr<IvxRecordSource> records = target_->OpenRecords(*file);
        TvxRecord r;
        std::string k;
        while (records->Next(r))
            if (RecordKey(r, key, nullptr, true, k))
                keys.insert(k);
        return &existingKeys_.emplace(base, std::move(keys)).first->second;
    } catch (const std::exception& e) {
        report.notes.push_back(table + " could not be read for its keys: " + e.what());
        return nullptr;
    }
}

void TvxTableBuilder::BuildTable(std::vector<TvxTablePlan>& plans, int index, TvxTableUpdateReport& r)
{
    TvxTablePlan& plan = plans[static_cast<std::size_t>(index)];
    const int cp = plan.CodePage();
    // Nothing is written outside the target: a name that is no plain file name is refused.
    if (const std::string problem = TableNameProblem(plan.name); !problem.empty())
        throw EvxRunError(vxRunTableNotWritten, problem);
    r.table = plan.FileName();
    r.origin = plan.originFile;
    r.action = ActionOf(plan.origin);
    for (const std::string& n : plan.notes)
        r.notes.push_back(CodePageToUtf8(n, cp));

    std::int64_t total = 0;
    if (plan.origin != TvxTablePlan::Origin::None)
        ReadingSource(plan.originFile, [&] { total = ReaderOf(plan).RecordCount(plan.originFile); });

    // Values of moved fields, by the primary key of the records they belong to.
    std::vector<TvxMoveValues> moves(plan.moves.size());
    std::vector<int> moveKey = TvxRecordConverter::PrimaryKeyPositions(plan.desc);
    if (!plan.moves.empty()) {
        std::string why;
        if (moveKey.empty())
            why = "the table has no primary key";
        for (const int k : moveKey)
            if (plan.fields[static_cast<std::size_t>(k)].kind == TvxFieldOrigin::Kind::Moved)
                why = "its primary key holds a moved field";
        for (std::size_t m = 0; m < plan.moves.size(); ++m) {
            const TvxMoveLookup& move = plan.moves[m];
            TvxTableDesc from;
            ReadingSource(move.sourceFile, [&] { from = source_.ReadStructure(move.sourceFile); });
            const std::vector<int> fromKey = TvxRecordConverter::PrimaryKeyPositions(from);
            std::string reason = why;
            if (reason.empty() && fromKey.size() != moveKey.size())
                reason = move.sourceFile + " has another primary key";
            if (!reason.empty()) {
                r.notes.push_back(CodePageToUtf8("values of field " + move.fieldName + " not carried: records of " +
                                                     move.sourceFile + " cannot be matched (" + reason + ")",
                                                 cp));
                continue;
            }
            std::unique_ptr<IvxRecordSource> records;
            ReadingSource(move.sourceFile, [&] {
                records = source_.OpenRecords(move.sourceFile);
                TvxRecord rec;
                std::string key;
                while (records->Next(rec)) {
                    key.clear();
                    bool exact = true;
                    for (std::size_t k = 0; k < fromKey.size() && exact; ++k) {
                        const std::size_t at = static_cast<std::size_t>(fromKey[k]);
                        TvxFieldValue v;
                        const TvxFieldShape shape = TvxFieldShape::Of(*from.GetField(fromKey[k]), from.CodePage());
                        exact = at < rec.size() &&
                                ConvertValue(rec[at], shape,
                                             plan.fields[static_cast<std::size_t>(moveKey[k])].chain.back(),
                                             v) == TvxConvert::Exact;
                        AppendKeyValue(key, v);
                    }
                    if (exact && static_cast<std::size_t>(move.sourceField) < rec.size())
                        moves[m].emplace(key, rec[static_cast<std::size_t>(move.sourceField)]);
                }
            });
        }
    }

    std::unique_ptr<IvxRecordSource> origin = OpenOrigin(plan);
    // A damaged value costs its own field: carried blank, and said.
    TvxResumingRecords resuming(*origin, [&](const std::string& damage) {
        r.notes.push_back((IsUtf8(damage) ? damage : CodePageToUtf8(damage, cp)) + "; carried blank");
    });
    TvxGuardedSource guard(resuming);
    TvxRecordConverter converter(plan, guard, r);
    converter.SetMoves(std::move(moves), std::move(moveKey));

    // Autoincrement fields whose blank values are numbered after the highest value carried.
    for (int pos = 0; pos < plan.desc.FieldCount(); ++pos) {
        if (!NeedsNumbering(plan, pos))
            continue;
        const TvxFieldOrigin& o = plan.fields[static_cast<std::size_t>(pos)];
        std::int64_t next = 1;
        if (o.kind == TvxFieldOrigin::Kind::Constant && o.constant.kind() == TvxFieldValue::Kind::Integer)
            next = o.constant.integer();
        if (o.kind == TvxFieldOrigin::Kind::Record) {
            std::unique_ptr<IvxRecordSource> scan = OpenOrigin(plan);
            ReadingSource(plan.originFile, [&] {
                TvxRecord rec;
                TvxFieldValue v;
                while (scan->Next(rec))
                    if (static_cast<std::size_t>(o.index) < rec.size() &&
                        CarryAlong(rec[static_cast<std::size_t>(o.index)], o.chain, v) != TvxConvert::Failed &&
                        v.kind() == TvxFieldValue::Kind::Integer)
                        next = std::max(next, v.integer() + 1);
            });
        }
        converter.SetAutoIncStart(pos, next);
    }

    // Rules where the table depends on another: the master's keys, built before it or read
    // from the target.
    std::vector<TvxRuleCheck> rules;
    for (const TvxRefIntDesc& rule : plan.desc.RefInts()) {
        if (rule.kind() != TvxRefIntDesc::Dependent)
            continue;
        TvxRuleCheck check;
        check.name = rule.name();
        for (int k = 0; k < std::min(rule.fieldCount(), TvxRefIntDesc::MaxFields); ++k)
            check.positions.push_back(rule.thisField(k) - 1);
        const int m = MasterOf(plans, plan, rule);
        if (m >= 0 && m != index) {
            const auto it = builtKeys_.find(m);
            if (it != builtKeys_.end() && !TvxRecordConverter::PrimaryKeyPositions(plans[static_cast<std::size_t>(m)].desc).empty())
                check.masterKeys = &it->second;
        } else if (m < 0) {
            check.masterKeys = ExistingKeys(rule.otherTable(), r);
        }
        if (!check.masterKeys)
            r.notes.push_back(CodePageToUtf8("rule " + rule.name() + " not checked: the keys of " + rule.otherTable() +
                                                 " are not known",
                                             cp));
        rules.push_back(std::move(check));
    }
    converter.SetRules(std::move(rules));
    for (const TvxTablePlan& d : plans)
        for (const TvxRefIntDesc& rule : d.desc.RefInts())
            if (rule.kind() == TvxRefIntDesc::Dependent && MasterOf(plans, d, rule) == index)
                converter.KeepKeys(&builtKeys_[index]);

    converter.ExpectRecords(total);
    if (onProgress_)
        converter.SetProgress([&](std::int64_t done) { onProgress_({r.table, done, total}); });
    try {
        if (writer_) {
            TvxWriteRequest w;
            w.directory = outputDir_;
            w.baseName = plan.name;
            w.desc = &plan.desc;
            w.records = &converter;
            w.password = plan.password;
            if (plan.origin != TvxTablePlan::Origin::None)
                w.originPath = ReaderOf(plan).Directory() + "/" + plan.originFile;
            w.otherTable = [&plans](std::string_view fileName) -> const TvxTableDesc* {
                for (const TvxTablePlan& p : plans)
                    if (SameText(p.FileName(), fileName) || SameText(p.name, fileName))
                        return &p.desc;
                return nullptr;
            };
            for (const std::string& warning : writer_->WriteTable(w))
                r.notes.push_back(IsUtf8(warning) ? warning : CodePageToUtf8(warning, cp));
            written_.push_back(plan.name);
        } else {
            TvxRecord rec;
            while (converter.Next(rec)) {
            }
        }
    } catch (const EvxRunError&) {
        throw;
    } catch (const std::exception& e) {
        if (guard.Failed())
            throw EvxRunError(vxRunSourceUnreadable, plan.originFile + ": " + guard.Failure());
        throw EvxRunError(vxRunTableNotWritten, plan.FileName() + ": " + e.what());
    }
    for (const std::string& note : resuming.TakeNotes())
        r.notes.push_back(IsUtf8(note) ? note : CodePageToUtf8(note, cp));
    if (converter.Unmatched() > 0)
        r.notes.push_back(std::to_string(converter.Unmatched()) +
                          " values of moved fields found no record with the same key and stay blank");
    if (!converter.Problems().empty())
        WriteKept(plan, "PROBLEM_", converter.Problems(), r.problemTable);
    if (!converter.KeyViolations().empty())
        WriteKept(plan, "KEYVIOL_", converter.KeyViolations(), r.keyViolTable);
}

void TvxTableBuilder::WriteKept(const TvxTablePlan& plan, const std::string& prefix,
                                TvxKeptRecords& records, std::string& reportName)
{
    const std::string name = prefix + plan.name;
    reportName = name + ".DB";
    if (!writer_)
        return;
    const TvxTableDesc desc = KeptRecordsDesc(plan, name);
    std::unique_ptr<IvxRecordSource> list = records.Read();
    TvxWriteRequest w;
    w.directory = outputDir_;
    w.baseName = name;
    w.desc = &desc;
    w.records = list.get();
    w.password = plan.originPassword;
    try {
        writer_->WriteTable(w);
    } catch (const std::exception& e) {
        throw EvxRunError(vxRunTableNotWritten, reportName + ": " + e.what());
    }
    written_.push_back(name);
}

} // namespace morvane
