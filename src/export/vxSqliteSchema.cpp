#include "export/vxSqliteSchema.h"

#include "db/paradox/ParadoxCollation.h"
#include "db/vxValueDisplay.h"
#include "model/vxFieldTypes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace morvane {

namespace {

std::string lowerAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// "CUSTOMER" of "C:\DATA\CUSTOMER.DB", "CUSTOMER.DB" or "CUSTOMER", in lower case.
std::string tableStem(std::string_view name)
{
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return lowerAscii(name);
}

bool isTextType(int type)
{
    return type == fldAlpha || type == fldMemo || type == fldFmtMemo;
}

// Table with the names of its fields in UTF-8.
struct TvxSchemaTable
{
    const TvxExportTable* table = nullptr;
    std::vector<std::string> fields;

    // Names of fields fieldNos (1-based); false when one is outside the table.
    bool names(const std::vector<int>& fieldNos, std::vector<std::string>& out) const
    {
        out.clear();
        for (const int n : fieldNos) {
            if (n < 1 || n > static_cast<int>(fields.size()))
                return false;
            out.push_back(fields[static_cast<std::size_t>(n - 1)]);
        }
        return !out.empty();
    }
    int type(int fieldNo) const { return table->desc.Fields()[static_cast<std::size_t>(fieldNo - 1)].type(); }
};

std::vector<int> keyFields(const TvxIndexDesc& x)
{
    std::vector<int> out;
    for (int i = 0; i < std::clamp(x.keyFieldCount(), 0, TvxIndexDesc::MaxKeyFields); ++i)
        out.push_back(x.keyField(i));
    return out;
}

std::string joinNames(const std::vector<std::string>& names)
{
    std::string out;
    for (const auto& n : names) {
        if (!out.empty())
            out += ", ";
        out += SqliteName(n);
    }
    return out;
}

// The SQL literal of a value as the column holds it; nothing for one no literal gives.
std::optional<std::string> literal(const TvxFieldValue& v, int type, int codePage)
{
    using Kind = TvxFieldValue::Kind;
    switch (v.kind()) {
    case Kind::Integer:
        return std::to_string(v.integer());
    case Kind::Logical:
        return v.logical() ? "1" : "0";
    case Kind::Float:
        if (!std::isfinite(v.real()))
            return std::nullopt;
        return ValueNumberText(v.real());
    case Kind::Bcd:
        return SqliteText(v.text());
    case Kind::Bytes:
        if (!isTextType(type))
            return std::nullopt;
        return SqliteText(ExportText(v.text(), codePage));
    case Kind::Blank:
        return std::nullopt;
    default: {
        std::string text;
        AppendExportText(text, v, type, codePage);
        return SqliteText(text);
    }
    }
}

// Today's date, or now, in the column's form, at the time a record is added.
const char* nowExpression(int type)
{
    switch (type) {
    case fldDate:
        return "(strftime('%Y-%m-%d', 'now', 'localtime'))";
    case fldTime:
        return "(strftime('%H:%M:%f', 'now', 'localtime'))";
    default:
        return "(strftime('%Y-%m-%dT%H:%M:%f', 'now', 'localtime'))";
    }
}

// column op bound, compared as Paradox compares the field's values.
std::optional<std::string> comparison(const std::string& column, const char* op, const TvxFieldValue& bound, int type,
                                      int codePage, bool caseInsensitive)
{
    if (type == fldBcd) // exact digits as text: compared as numbers
        return "CAST(" + column + " AS REAL) " + op + " " + bound.text();
    const auto value = literal(bound, type, codePage);
    if (!value)
        return std::nullopt;
    if (type == fldAlpha && caseInsensitive)
        return column + " COLLATE NOCASE " + op + " " + *value;
    return column + " " + op + " " + *value;
}

// The check's values the field type has (Logical: default only; Autoincrement: minimum only;
// types without a value form: none).
TvxSqliteCheckRow checkRow(const TvxValCheckDesc& check, const std::string& field, const TvxFieldDesc& f)
{
    TvxSqliteCheckRow row;
    row.field = field;
    row.fieldType = f.type();
    row.required = check.required();
    const auto read = [&](bool has, const std::uint8_t* area, TvxSqliteCheckValue& out) {
        if (has)
            out.state = CheckAreaValue(area, f.type(), f.units2(), out.value);
    };
    const int t = f.type();
    read(check.hasMinimum() && t != fldLogical, check.minimum(), row.minimum);
    read(check.hasMaximum() && t != fldLogical && t != fldAutoInc, check.maximum(), row.maximum);
    read(check.hasDefault() && t != fldAutoInc, check.defaultValue(), row.defaultValue);
    return row;
}

class TvxSchemaBuilder
{
public:
    TvxSchemaBuilder(const std::vector<TvxExportTable>& tables, std::vector<std::string>& warnings)
        : warnings_(warnings)
    {
        for (std::size_t i = 0; i < tables.size(); ++i) {
            TvxSchemaTable t;
            t.table = &tables[i];
            for (const auto& f : tables[i].desc.Fields())
                t.fields.push_back(ExportText(f.name(), tables[i].desc.CodePage()));
            tables_.push_back(std::move(t));
            byStem_.emplace(tableStem(tables[i].engineName), i);
            used_.insert(lowerAscii(tables[i].name));
        }
        used_.insert(std::string(vxChecksTable));
        used_.insert(std::string(vxRejectedTable));
    }

    TvxSqliteTableSchema Build(std::size_t index)
    {
        const TvxSchemaTable& t = tables_[index];
        const TvxTableDesc& desc = t.table->desc;
        TvxSqliteTableSchema schema;
        std::vector<std::string> parts;
        for (std::size_t i = 0; i < t.fields.size(); ++i)
            parts.push_back(column(t, static_cast<int>(i) + 1, schema));

        std::vector<std::string> names;
        for (const auto& x : desc.Indexes()) {
            if (!x.primary())
                continue;
            if (!t.names(keyFields(x), names)) {
                warn(t, "its primary key names a field it does not have; left out");
                break;
            }
            parts.push_back("PRIMARY KEY (" + joinNames(names) + ")");
            if (names.size() == 1 && std::string_view(SqliteColumnType(t.type(x.keyField(0)))) == "INTEGER")
                schema.rowidKey = x.keyField(0) - 1;
            break;
        }
        for (const auto& rule : desc.RefInts())
            if (rule.kind() == TvxRefIntDesc::Dependent)
                if (auto fk = foreignKey(t, rule))
                    parts.push_back(*fk);

        schema.createTable = "CREATE TABLE " + SqliteName(t.table->name) + " (\n    ";
        for (std::size_t i = 0; i < parts.size(); ++i)
            schema.createTable += (i ? ",\n    " : "") + parts[i];
        schema.createTable += "\n)";

        schema.insertInto = "INSERT INTO " + SqliteName(t.table->name) + " ";

        for (std::size_t pos = 0; pos < desc.Indexes().size(); ++pos)
            if (!desc.Indexes()[pos].primary())
                addIndex(t, desc.Indexes()[pos], schema);
        return schema;
    }

private:
    void warn(const TvxSchemaTable& t, const std::string& what) { warnings_.push_back(t.table->name + ": " + what); }

    std::string column(const TvxSchemaTable& t, int fieldNo, TvxSqliteTableSchema& schema)
    {
        const TvxTableDesc& desc = t.table->desc;
        const TvxFieldDesc& f = desc.Fields()[static_cast<std::size_t>(fieldNo - 1)];
        const std::string& name = t.fields[static_cast<std::size_t>(fieldNo - 1)];
        const std::string quoted = SqliteName(name);
        std::string sql = quoted + " " + SqliteColumnType(f.type());
        const TvxValCheckDesc* check = desc.FindValCheck(fieldNo);
        if (!check)
            return sql;
        TvxSqliteCheckRow row = checkRow(*check, name, f);
        const int codePage = desc.CodePage();
        if (row.required)
            sql += " NOT NULL";
        if (row.defaultValue.state == TvxCheckValue::Now)
            sql += std::string(" DEFAULT ") + nowExpression(f.type());
        else if (row.defaultValue.state == TvxCheckValue::Value)
            if (const auto value = literal(row.defaultValue.value, f.type(), codePage))
                sql += " DEFAULT " + *value;
        // Paradox compares Alpha values in its driver's order; "ascii" and DBWINUS0 go by byte.
        const bool caseInsensitive = !ParadoxCollation::ForDriver(desc.LanguageDriver()).established();
        const auto bound = [&](const TvxSqliteCheckValue& v, const char* op, const char* what) {
            if (v.state != TvxCheckValue::Value)
                return; // TODAY and NOW change by the day: listed in _morvane_checks only
            if (const auto test = comparison(quoted, op, v.value, f.type(), codePage, caseInsensitive))
                sql += " CONSTRAINT " + SqliteName(name + " " + what) + " CHECK (" + *test + ")";
        };
        bound(row.minimum, ">=", "minimum");
        bound(row.maximum, "<=", "maximum");
        if (!check->picture().empty())
            row.picture = ExportText(check->picture(), codePage);
        const std::int32_t lookup = check->i32(TvxValCheckDesc::oLookup); // 1-4: a kind of table lookup
        if (lookup >= 1 && lookup <= 4)
            row.lookup = ExportText(check->text(TvxValCheckDesc::oLookup + 4, 261), codePage);
        schema.checks.push_back(std::move(row));
        return sql;
    }

    std::optional<std::string> foreignKey(const TvxSchemaTable& t, const TvxRefIntDesc& rule)
    {
        const std::string ruleName = "rule \"" + ExportText(rule.name(), t.table->desc.CodePage()) + "\"";
        const auto master = byStem_.find(tableStem(rule.otherTable()));
        if (master == byStem_.end()) {
            warn(t, ruleName + " refers to table " + ExportText(rule.otherTable(), t.table->desc.CodePage()) +
                        ", which is not exported; left out");
            return std::nullopt;
        }
        const TvxSchemaTable& m = tables_[master->second];
        std::vector<int> mine;
        std::vector<int> theirs;
        for (int i = 0; i < std::clamp(rule.fieldCount(), 0, TvxRefIntDesc::MaxFields); ++i) {
            mine.push_back(rule.thisField(i));
            theirs.push_back(rule.otherField(i));
        }
        std::vector<std::string> childNames;
        std::vector<std::string> parentNames;
        if (!t.names(mine, childNames) || !m.names(theirs, parentNames)) {
            warn(t, ruleName + " names fields its tables do not have; left out");
            return std::nullopt;
        }
        if (!isMasterKey(m, theirs)) {
            warn(t, ruleName + " does not refer to the key of " + m.table->name + "; left out");
            return std::nullopt;
        }
        const auto action = [](std::int32_t r) { return r == TvxRefIntDesc::Cascade ? "CASCADE" : "RESTRICT"; };
        return "CONSTRAINT " + SqliteName(ExportText(rule.name(), t.table->desc.CodePage())) + " FOREIGN KEY (" +
               joinNames(childNames) + ") REFERENCES " + SqliteName(m.table->name) + " (" + joinNames(parentNames) +
               ") ON UPDATE " + action(rule.updateRule()) + " ON DELETE " + action(rule.deleteRule());
    }

    // SQLite refers only to fields that are together the primary key or a unique index.
    static bool isMasterKey(const TvxSchemaTable& m, std::vector<int> fields)
    {
        std::sort(fields.begin(), fields.end());
        for (const auto& x : m.table->desc.Indexes()) {
            if (!x.primary() && !x.unique())
                continue;
            std::vector<int> key = keyFields(x);
            std::sort(key.begin(), key.end());
            if (key == fields)
                return true;
        }
        return false;
    }

    void addIndex(const TvxSchemaTable& t, const TvxIndexDesc& x, TvxSqliteTableSchema& schema)
    {
        const int codePage = t.table->desc.CodePage();
        const std::string indexName = ExportText(x.name(), codePage);
        const std::vector<int> fields = keyFields(x);
        std::vector<std::string> names;
        if (x.expression() || !t.names(fields, names)) {
            warn(t, "index \"" + indexName + "\" is not over fields of the table; left out");
            return;
        }
        std::string keys;
        for (std::size_t i = 0; i < names.size(); ++i) {
            keys += (i ? ", " : "") + SqliteName(names[i]);
            if (x.caseInsensitive() && isTextType(t.type(fields[i])))
                keys += " COLLATE NOCASE";
            if (x.descending() || x.descendingField(static_cast<int>(i)))
                keys += " DESC";
        }
        const std::string name = uniqueName(t.table->name + "_" + indexName);
        const std::string rest = SqliteName(name) + " ON " + SqliteName(t.table->name) + " (" + keys + ")";
        TvxSqliteIndex out;
        out.description = "index \"" + indexName + "\" of " + t.table->name;
        if (x.unique()) {
            out.sql = "CREATE UNIQUE INDEX " + rest;
            out.fallbackSql = "CREATE INDEX " + rest;
        } else {
            out.sql = "CREATE INDEX " + rest;
        }
        schema.indexes.push_back(std::move(out));
    }

    // Tables and indexes share one name space in SQLite.
    std::string uniqueName(const std::string& wanted)
    {
        std::string name = wanted;
        for (int n = 2; !used_.insert(lowerAscii(name)).second; ++n)
            name = wanted + "_" + std::to_string(n);
        return name;
    }

    std::vector<std::string>& warnings_;
    std::vector<TvxSchemaTable> tables_;
    std::multimap<std::string, std::size_t> byStem_;
    std::set<std::string> used_;
};

} // namespace

std::vector<TvxSqliteTableSchema> SqliteSchemas(const std::vector<TvxExportTable>& tables,
                                                std::vector<std::string>& warnings)
{
    TvxSchemaBuilder builder(tables, warnings);
    std::vector<TvxSqliteTableSchema> out;
    for (std::size_t i = 0; i < tables.size(); ++i)
        out.push_back(builder.Build(i));
    return out;
}

std::string SqliteName(std::string_view name)
{
    std::string out(1, '"');
    for (const char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

std::string SqliteText(std::string_view text)
{
    std::string out(1, '\'');
    for (const char c : text) {
        if (c == '\'')
            out += '\'';
        out += c;
    }
    return out + '\'';
}

const char* SqliteColumnType(int fieldType)
{
    switch (fieldType) {
    case fldShort:
    case fldLong:
    case fldAutoInc:
    case fldLogical:
        return "INTEGER";
    case fldNumber:
    case fldMoney:
        return "REAL";
    case fldAlpha:
    case fldMemo:
    case fldFmtMemo:
    case fldBcd:
    case fldDate:
    case fldTime:
    case fldTimestamp:
        return "TEXT";
    default:
        return "BLOB";
    }
}

} // namespace morvane
