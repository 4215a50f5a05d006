#include "export/vxPostgresSchema.h"

#include "model/vxFieldTypes.h"

#include <algorithm>
#include <optional>

namespace morvane {

namespace {

constexpr std::size_t MaxNameBytes = 63;

const char* nowExpression(int type)
{
    return type == fldDate ? "CURRENT_DATE" : type == fldTime ? "LOCALTIME(3)" : "LOCALTIMESTAMP(3)";
}

// name cut to PostgreSQL's length at a character's start.
std::string shortName(std::string name)
{
    if (name.size() > MaxNameBytes) {
        std::size_t n = MaxNameBytes;
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
            --n;
        name.resize(n);
    }
    return name;
}

class TvxPostgresTableBuilder
{
public:
    TvxPostgresTableBuilder(const TvxExportTable& table, const TvxExportSchema& s, const std::string& qualified)
        : table_(table), s_(s), name_(qualified)
    {}

    std::string CreateTable(std::vector<std::string>& comments) const
    {
        std::string sql = "CREATE TABLE " + name_ + " (";
        for (std::size_t i = 0; i < s_.fields.size(); ++i) {
            sql += i ? ",\n    " : "\n    ";
            sql += column(i, comments);
        }
        return sql + "\n)";
    }

private:
    std::string column(std::size_t i, std::vector<std::string>& comments) const
    {
        const TvxFieldDesc& f = table_.desc.Fields()[i];
        const std::string quoted = SqlName(s_.fields[i]);
        std::string sql = quoted + " " + PostgresColumnType(f);
        if (s_.checkOf[i] < 0)
            return sql;
        const TvxExportCheck& check = s_.checks[static_cast<std::size_t>(s_.checkOf[i])];
        const int type = f.type();
        const int codePage = table_.desc.CodePage();
        std::string comment;
        const auto note = [&](const std::string& what) { comment += (comment.empty() ? "" : "; ") + what; };
        if (check.required)
            sql += " NOT NULL";
        if (check.defaultValue.state == TvxCheckValue::Now)
            sql += std::string(" DEFAULT ") + nowExpression(type);
        else if (check.defaultValue.state == TvxCheckValue::Value)
            if (const auto value = SqlLiteral(check.defaultValue.value, type, codePage))
                sql += " DEFAULT " + *value;
        const auto bound = [&](const TvxExportCheckValue& v, const char* op, const char* what) {
            if (v.state == TvxCheckValue::Now) {
                note(std::string(what) + " " + (type == fldDate ? "TODAY" : "NOW")); // changes by the day
                return;
            }
            if (v.state != TvxCheckValue::Value)
                return;
            const auto value = SqlLiteral(v.value, type, codePage);
            if (!value)
                return;
            const bool folded = type == fldAlpha && s_.caseInsensitive;
            const std::string test =
                folded ? "lower(" + quoted + ") " + op + " lower(" + *value + ")" : quoted + " " + op + " " + *value;
            sql += " CONSTRAINT " + SqlName(shortName(s_.fields[i] + " " + what)) + " CHECK (" + test + ")";
        };
        bound(check.minimum, ">=", "minimum");
        bound(check.maximum, "<=", "maximum");
        if (!check.picture.empty())
            note("picture " + check.picture);
        if (!check.lookup.empty())
            note("values from table " + check.lookup);
        if (!comment.empty())
            comments.push_back("COMMENT ON COLUMN " + name_ + "." + quoted + " IS " + SqlText(comment));
        return sql;
    }

    const TvxExportTable& table_;
    const TvxExportSchema& s_;
    std::string name_;
};

} // namespace

std::vector<TvxPostgresTableSchema> PostgresSchemas(const std::vector<TvxExportTable>& tables,
                                                    const std::string& schema, std::set<std::string> taken,
                                                    std::vector<std::string>& warnings)
{
    const std::vector<TvxExportSchema> schemas = ExportSchemas(tables, warnings);
    const std::string prefix = SqlName(schema) + ".";
    for (const auto& t : tables)
        taken.insert(t.name);
    // Tables and indexes share one name space in a schema.
    const auto uniqueName = [&](const std::string& wanted) {
        std::string name = shortName(wanted);
        for (int n = 2; !taken.insert(name).second; ++n) {
            std::string suffix(1, '_');
            suffix += std::to_string(n);
            name = shortName(wanted.substr(0, MaxNameBytes - suffix.size()));
            name.append(suffix);
        }
        return name;
    };

    std::vector<TvxPostgresTableSchema> out;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const TvxExportSchema& s = schemas[t];
        const std::string& table = tables[t].name;
        TvxPostgresTableSchema p;
        p.name = prefix + SqlName(table);
        p.createTable = TvxPostgresTableBuilder(tables[t], s, p.name).CreateTable(p.comments);
        p.copy = "COPY " + p.name + " FROM STDIN (FORMAT binary)";
        p.primaryKey = s.primaryKey;
        if (!s.primaryKey.empty())
            p.afterRecords.push_back(
                {"ALTER TABLE " + p.name + " ADD PRIMARY KEY (" + SqlNames(s.fields, s.primaryKey) + ")", "",
                 "the primary key of " + table});
        for (std::size_t i = 0; i < s.fields.size(); ++i)
            if (s.types[i] == fldAutoInc)
                p.afterRecords.push_back({"SELECT setval(pg_get_serial_sequence(" + SqlText(p.name) + ", " +
                                              SqlText(s.fields[i]) + "), coalesce(max(" + SqlName(s.fields[i]) +
                                              "), 0) + 1, false) FROM " + p.name,
                                          "", "the numbering of " + table + "." + s.fields[i]});
        for (const auto& x : s.indexes) {
            std::string keys;
            for (std::size_t i = 0; i < x.fields.size(); ++i) {
                const auto f = static_cast<std::size_t>(x.fields[i]);
                const bool folded = x.caseInsensitive && IsExportTextType(s.types[f]);
                keys += (i ? ", " : "") + (folded ? "lower(" + SqlName(s.fields[f]) + ")" : SqlName(s.fields[f]));
                if (x.descending[i])
                    keys += " DESC";
            }
            const std::string rest =
                "INDEX " + SqlName(uniqueName(table + "_" + x.name)) + " ON " + p.name + " (" + keys + ")";
            p.afterRecords.push_back({(x.unique ? "CREATE UNIQUE " : "CREATE ") + rest,
                                      x.unique ? "CREATE " + rest : "", "index \"" + x.name + "\" of " + table});
        }
        for (const auto& fk : s.foreignKeys) {
            const auto action = [](bool cascade) { return cascade ? "CASCADE" : "RESTRICT"; };
            const std::string master = prefix + SqlName(tables[fk.master].name);
            const std::string sql = "ALTER TABLE " + p.name + " ADD CONSTRAINT " + SqlName(shortName(fk.name)) +
                                    " FOREIGN KEY (" + SqlNames(s.fields, fk.fields) + ") REFERENCES " + master + " (" +
                                    SqlNames(schemas[fk.master].fields, fk.masterFields) + ") ON UPDATE " +
                                    action(fk.cascadeUpdate) + " ON DELETE " + action(fk.cascadeDelete);
            p.foreignKeys.push_back({sql, sql + " NOT VALID", "rule \"" + fk.name + "\" of " + table});
            std::string where;
            std::string match;
            for (std::size_t i = 0; i < fk.fields.size(); ++i) {
                const std::string mine = "c." + SqlName(s.fields[static_cast<std::size_t>(fk.fields[i])]);
                where += (i ? " AND " : "") + mine + " IS NOT NULL";
                match += (i ? " AND " : "") + std::string("m.") +
                         SqlName(schemas[fk.master].fields[static_cast<std::size_t>(fk.masterFields[i])]) + " = " +
                         mine;
            }
            p.orphans.emplace_back("SELECT count(*) FROM " + p.name + " c WHERE " + where +
                                       " AND NOT EXISTS (SELECT 1 FROM " + master + " m WHERE " + match + ")",
                                   tables[fk.master].name);
        }
        out.push_back(std::move(p));
    }
    return out;
}

std::string PostgresColumnType(const TvxFieldDesc& field)
{
    switch (field.type()) {
    case fldAlpha:
        return "varchar(" + std::to_string(std::max(field.units1(), 1)) + ")";
    case fldNumber:
    case fldMoney:
        return "double precision";
    case fldBcd:
        return "numeric(32, " + std::to_string(std::clamp(field.units2(), 0, 32)) + ")";
    case fldShort:
        return "smallint";
    case fldLong:
        return "integer";
    case fldAutoInc:
        return "integer GENERATED BY DEFAULT AS IDENTITY";
    case fldLogical:
        return "boolean";
    case fldDate:
        return "date";
    case fldTime:
        return "time(3)";
    case fldTimestamp:
        return "timestamp(3)";
    case fldMemo:
        return "text";
    default:
        return "bytea";
    }
}

} // namespace morvane
