#include "export/vxSqliteSchema.h"

#include "model/vxFieldTypes.h"

#include <algorithm>
#include <optional>
#include <set>

namespace morvane {

namespace {

// The SQL literal of a value as the column holds it; nothing for one no literal gives.
std::optional<std::string> literal(const TvxFieldValue& v, int type, int codePage)
{
    if (v.kind() == TvxFieldValue::Kind::Bcd)
        return SqlText(v.text()); // the column holds its exact digits as text
    return SqlLiteral(v, type, codePage);
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

std::string column(const TvxExportSchema& s, std::size_t i, int codePage)
{
    const std::string quoted = SqlName(s.fields[i]);
    const int type = s.types[i];
    std::string sql = quoted + " " + SqliteColumnType(type);
    if (s.checkOf[i] < 0)
        return sql;
    const TvxExportCheck& check = s.checks[static_cast<std::size_t>(s.checkOf[i])];
    if (check.required)
        sql += " NOT NULL";
    if (check.defaultValue.state == TvxCheckValue::Now)
        sql += std::string(" DEFAULT ") + nowExpression(type);
    else if (check.defaultValue.state == TvxCheckValue::Value)
        if (const auto value = literal(check.defaultValue.value, type, codePage))
            sql += " DEFAULT " + *value;
    const auto bound = [&](const TvxExportCheckValue& v, const char* op, const char* what) {
        if (v.state != TvxCheckValue::Value)
            return; // TODAY and NOW change by the day: listed in _morvane_checks only
        if (const auto test = comparison(quoted, op, v.value, type, codePage, s.caseInsensitive))
            sql += " CONSTRAINT " + SqlName(s.fields[i] + " " + what) + " CHECK (" + *test + ")";
    };
    bound(check.minimum, ">=", "minimum");
    bound(check.maximum, "<=", "maximum");
    return sql;
}

} // namespace

std::vector<TvxSqliteTableSchema> SqliteSchemas(const std::vector<TvxExportTable>& tables,
                                                std::vector<std::string>& warnings)
{
    const std::vector<TvxExportSchema> schemas = ExportSchemas(tables, warnings);
    // Tables and indexes share one name space in SQLite, without regard to case.
    std::set<std::string> used;
    for (const auto& t : tables)
        used.insert(LowerAscii(t.name));
    used.insert(std::string(vxChecksTable));
    used.insert(std::string(vxRejectedTable));
    const auto uniqueName = [&](const std::string& wanted) {
        std::string name = wanted;
        for (int n = 2; !used.insert(LowerAscii(name)).second; ++n)
            name = wanted + "_" + std::to_string(n);
        return name;
    };

    std::vector<TvxSqliteTableSchema> out;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const TvxExportSchema& s = schemas[t];
        const std::string& table = tables[t].name;
        TvxSqliteTableSchema schema;
        std::vector<std::string> parts;
        for (std::size_t i = 0; i < s.fields.size(); ++i)
            parts.push_back(column(s, i, tables[t].desc.CodePage()));
        if (!s.primaryKey.empty()) {
            parts.push_back("PRIMARY KEY (" + SqlNames(s.fields, s.primaryKey) + ")");
            if (s.primaryKey.size() == 1 &&
                std::string_view(SqliteColumnType(s.types[static_cast<std::size_t>(s.primaryKey[0])])) == "INTEGER")
                schema.rowidKey = s.primaryKey[0];
        }
        for (const auto& fk : s.foreignKeys) {
            const auto action = [](bool cascade) { return cascade ? "CASCADE" : "RESTRICT"; };
            parts.push_back("CONSTRAINT " + SqlName(fk.name) + " FOREIGN KEY (" + SqlNames(s.fields, fk.fields) +
                            ") REFERENCES " + SqlName(tables[fk.master].name) + " (" +
                            SqlNames(schemas[fk.master].fields, fk.masterFields) + ") ON UPDATE " +
                            action(fk.cascadeUpdate) + " ON DELETE " + action(fk.cascadeDelete));
        }
        schema.createTable = "CREATE TABLE " + SqlName(table) + " (\n    ";
        for (std::size_t i = 0; i < parts.size(); ++i)
            schema.createTable += (i ? ",\n    " : "") + parts[i];
        schema.createTable += "\n)";
        schema.insertInto = "INSERT INTO " + SqlName(table) + " ";

        for (const auto& x : s.indexes) {
            std::string keys;
            for (std::size_t i = 0; i < x.fields.size(); ++i) {
                const auto f = static_cast<std::size_t>(x.fields[i]);
                keys += (i ? ", " : "") + SqlName(s.fields[f]);
                if (x.caseInsensitive && IsExportTextType(s.types[f]))
                    keys += " COLLATE NOCASE";
                if (x.descending[i])
                    keys += " DESC";
            }
            const std::string rest =
                SqlName(uniqueName(table + "_" + x.name)) + " ON " + SqlName(table) + " (" + keys + ")";
            TvxSqliteIndex index;
            index.description = "index \"" + x.name + "\" of " + table;
            index.sql = std::string(x.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") + rest;
            if (x.unique)
                index.fallbackSql = "CREATE INDEX " + rest;
            schema.indexes.push_back(std::move(index));
        }
        schema.checks = s.checks;
        out.push_back(std::move(schema));
    }
    return out;
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
