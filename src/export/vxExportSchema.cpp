#include "export/vxExportSchema.h"

#include "db/vxValueDisplay.h"
#include "db/paradox/ParadoxCollation.h"
#include "model/vxFieldTypes.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace morvane {

namespace {

// "CUSTOMER" of "C:\DATA\CUSTOMER.DB", "CUSTOMER.DB" or "CUSTOMER", in lower case.
std::string tableStem(std::string_view name)
{
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return LowerAscii(name);
}

// 0-based positions of fieldNos (1-based); false when one is outside a table of fieldCount.
bool positions(const std::vector<int>& fieldNos, std::size_t fieldCount, std::vector<int>& out)
{
    out.clear();
    for (const int n : fieldNos) {
        if (n < 1 || n > static_cast<int>(fieldCount))
            return false;
        out.push_back(n - 1);
    }
    return !out.empty();
}

std::vector<int> keyFields(const TvxIndexDesc& x)
{
    std::vector<int> out;
    for (int i = 0; i < std::clamp(x.keyFieldCount(), 0, TvxIndexDesc::MaxKeyFields); ++i)
        out.push_back(x.keyField(i));
    return out;
}

TvxExportCheck checkOf(const TvxValCheckDesc& check, const std::string& field, const TvxFieldDesc& f, int codePage)
{
    TvxExportCheck row;
    row.field = field;
    row.fieldType = f.type();
    row.required = check.required();
    const auto read = [&](bool has, const std::uint8_t* area, TvxExportCheckValue& out) {
        if (has)
            out.state = CheckAreaValue(area, f.type(), f.units2(), out.value);
    };
    const int t = f.type();
    read(check.hasMinimum() && t != fldLogical, check.minimum(), row.minimum);
    read(check.hasMaximum() && t != fldLogical && t != fldAutoInc, check.maximum(), row.maximum);
    read(check.hasDefault() && t != fldAutoInc, check.defaultValue(), row.defaultValue);
    if (!check.picture().empty())
        row.picture = ExportText(check.picture(), codePage);
    const std::int32_t lookup = check.i32(TvxValCheckDesc::oLookup); // 1-4: a kind of table lookup
    if (lookup >= 1 && lookup <= 4)
        row.lookup = ExportText(check.text(TvxValCheckDesc::oLookup + 4, 261), codePage);
    return row;
}

class TvxSchemaBuilder
{
public:
    TvxSchemaBuilder(const std::vector<TvxExportTable>& tables, std::vector<std::string>& warnings)
        : tables_(tables), warnings_(warnings)
    {
        for (std::size_t i = 0; i < tables.size(); ++i)
            byStem_.emplace(tableStem(tables[i].engineName), i);
    }

    TvxExportSchema Build(std::size_t index)
    {
        const TvxExportTable& t = tables_[index];
        const TvxTableDesc& desc = t.desc;
        const int codePage = desc.CodePage();
        TvxExportSchema s;
        s.caseInsensitive = !ParadoxCollation::ForDriver(desc.LanguageDriver()).established();
        for (const auto& f : desc.Fields()) {
            s.fields.push_back(ExportText(f.name(), codePage));
            s.types.push_back(f.type());
            const TvxValCheckDesc* check = desc.FindValCheck(static_cast<int>(s.fields.size()));
            s.checkOf.push_back(check ? static_cast<int>(s.checks.size()) : -1);
            if (check)
                s.checks.push_back(checkOf(*check, s.fields.back(), f, codePage));
        }
        for (const auto& x : desc.Indexes()) {
            if (!x.primary())
                continue;
            if (!positions(keyFields(x), s.fields.size(), s.primaryKey))
                warn(t, "its primary key names a field it does not have; left out");
            break;
        }
        for (const auto& rule : desc.RefInts())
            if (rule.kind() == TvxRefIntDesc::Dependent)
                foreignKey(t, s, rule);
        for (const auto& x : desc.Indexes()) {
            if (x.primary())
                continue;
            TvxExportIndex out;
            out.name = ExportText(x.name(), codePage);
            if (x.expression() || !positions(keyFields(x), s.fields.size(), out.fields)) {
                warn(t, "index \"" + out.name + "\" is not over fields of the table; left out");
                continue;
            }
            out.unique = x.unique();
            out.caseInsensitive = x.caseInsensitive();
            for (std::size_t i = 0; i < out.fields.size(); ++i)
                out.descending.push_back(x.descending() || x.descendingField(static_cast<int>(i)));
            s.indexes.push_back(std::move(out));
        }
        return s;
    }

private:
    void warn(const TvxExportTable& t, const std::string& what) { warnings_.push_back(t.name + ": " + what); }

    void foreignKey(const TvxExportTable& t, TvxExportSchema& s, const TvxRefIntDesc& rule)
    {
        TvxExportForeignKey fk;
        fk.name = ExportText(rule.name(), t.desc.CodePage());
        const std::string ruleName = "rule \"" + fk.name + "\"";
        const auto master = byStem_.find(tableStem(rule.otherTable()));
        if (master == byStem_.end()) {
            warn(t, ruleName + " refers to table " + ExportText(rule.otherTable(), t.desc.CodePage()) +
                        ", which is not exported; left out");
            return;
        }
        fk.master = master->second;
        const TvxExportTable& m = tables_[fk.master];
        std::vector<int> mine;
        std::vector<int> theirs;
        for (int i = 0; i < std::clamp(rule.fieldCount(), 0, TvxRefIntDesc::MaxFields); ++i) {
            mine.push_back(rule.thisField(i));
            theirs.push_back(rule.otherField(i));
        }
        if (!positions(mine, t.desc.Fields().size(), fk.fields) ||
            !positions(theirs, m.desc.Fields().size(), fk.masterFields)) {
            warn(t, ruleName + " names fields its tables do not have; left out");
            return;
        }
        if (!isMasterKey(m, theirs)) {
            warn(t, ruleName + " does not refer to the key of " + m.name + "; left out");
            return;
        }
        fk.cascadeUpdate = rule.updateRule() == TvxRefIntDesc::Cascade;
        fk.cascadeDelete = rule.deleteRule() == TvxRefIntDesc::Cascade;
        s.foreignKeys.push_back(std::move(fk));
    }

    // A foreign key refers only to fields that are together the primary key or a unique index.
    static bool isMasterKey(const TvxExportTable& m, std::vector<int> fields)
    {
        std::sort(fields.begin(), fields.end());
        for (const auto& x : m.desc.Indexes()) {
            if (!x.primary() && !x.unique())
                continue;
            std::vector<int> key = keyFields(x);
            std::sort(key.begin(), key.end());
            if (key == fields)
                return true;
        }
        return false;
    }

    const std::vector<TvxExportTable>& tables_;
    std::vector<std::string>& warnings_;
    std::multimap<std::string, std::size_t> byStem_;
};

std::string quote(std::string_view text, char q)
{
    std::string out(1, q);
    for (const char c : text) {
        if (c == q)
            out += q;
        out += c;
    }
    return out + q;
}

} // namespace

std::vector<TvxExportSchema> ExportSchemas(const std::vector<TvxExportTable>& tables,
                                           std::vector<std::string>& warnings)
{
    TvxSchemaBuilder builder(tables, warnings);
    std::vector<TvxExportSchema> out;
    for (std::size_t i = 0; i < tables.size(); ++i)
        out.push_back(builder.Build(i));
    return out;
}

std::string RejectedTableSql(const std::string& name)
{
    return "CREATE TABLE IF NOT EXISTS " + name +
           " (\"table\" text NOT NULL, \"record\" bigint NOT NULL, \"reason\" text NOT NULL, \"values\" text NOT NULL)";
}

std::string RecordJson(const TvxRecord& record, const TvxTableDesc& desc)
{
    std::string values = "[";
    for (std::size_t i = 0; i < record.size() && i < desc.Fields().size(); ++i) {
        if (i)
            values += ", ";
        AppendValueJson(values, record[i], desc.Fields()[i].type(), desc.CodePage());
    }
    return values + ']';
}

std::string SqlNames(const std::vector<std::string>& fields, const std::vector<int>& positions)
{
    std::string out;
    for (const int p : positions) {
        if (!out.empty())
            out += ", ";
        out += SqlName(fields[static_cast<std::size_t>(p)]);
    }
    return out;
}

std::optional<std::string> SqlLiteral(const TvxFieldValue& v, int type, int codePage)
{
    using Kind = TvxFieldValue::Kind;
    switch (v.kind()) {
    case Kind::Integer:
        return std::to_string(v.integer());
    case Kind::Logical:
        return v.logical() ? "TRUE" : "FALSE";
    case Kind::Float:
        if (!std::isfinite(v.real()))
            return std::nullopt;
        return ValueNumberText(v.real());
    case Kind::Bcd:
        return v.text();
    case Kind::Bytes:
        if (!IsExportTextType(type))
            return std::nullopt;
        return SqlText(ExportText(v.text(), codePage));
    case Kind::Blank:
        return std::nullopt;
    default: {
        std::string text;
        AppendExportText(text, v, type, codePage);
        return SqlText(text);
    }
    }
}

std::string SqlName(std::string_view name)
{
    return quote(name, '"');
}

std::string SqlText(std::string_view text)
{
    return quote(text, '\'');
}

std::string LowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace morvane
