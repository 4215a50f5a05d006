// Records SQLite refuses are refused one by one, whatever batch they come in: a table keyed on
// a Long field gets random runs of records with blank keys and keys it holds already, among
// good ones, across many batches; the table keeps exactly the good records in their order and
// _morvane_rejected the others with their numbers and reasons.

#include "model/vxFieldTypes.h"

#include <gtest/gtest.h>
#include <random>
#include <set>

#include "export/TvxSqliteTarget.h"
#include "ExportTestSupport.h"
#include "support/TestFields.h"

namespace morvane {
namespace {

using test::TvxRows;

TvxTableDesc keyedTable()
{
    TvxTableDesc desc;
    desc.SetFields({test::MakeField("Id", 1, fldLong), test::MakeField("Name", 2, fldAlpha, 12)});
    TvxIndexDesc key;
    key.setPrimary(true);
    key.setKeyFieldCount(1);
    key.setKeyField(0, 1);
    desc.SetIndexes({key});
    desc.CursorProps().setCodePage(1252);
    return desc;
}

TEST(SqliteRefusedRecords, OnlyTheRecordsAtFaultWhateverTheBatch)
{
    std::mt19937 rng(1207);
    // Chance in a thousand of a bad record: none, a few, many.
    for (const int badPerMille : {0, 2, 30, 400}) {
        for (int round = 0; round < 3; ++round) {
            const int count = std::uniform_int_distribution<int>(0, 1400)(rng);
            SCOPED_TRACE(std::to_string(count) + " records, " + std::to_string(badPerMille) + "/1000 bad");
            std::vector<TvxRecord> records;
            TvxRows kept;
            TvxRows refused; // record number, reason
            std::set<std::int64_t> keys;
            std::int64_t next = 1;
            for (int r = 1; r <= count; ++r) {
                const bool bad = std::uniform_int_distribution<int>(0, 999)(rng) < badPerMille;
                std::string name = "r";
                name += std::to_string(r);
                if (bad && (keys.empty() || rng() % 2)) {
                    records.push_back({TvxFieldValue(), TvxFieldValue::Bytes(name)});
                    refused.push_back({std::to_string(r), "the key field is blank"});
                } else if (bad) {
                    const std::int64_t key = *std::next(keys.begin(), static_cast<long>(rng() % keys.size()));
                    records.push_back({TvxFieldValue::Integer(key), TvxFieldValue::Bytes(name)});
                    refused.push_back({std::to_string(r), "UNIQUE constraint failed: T.Id"});
                } else {
                    next += 1 + static_cast<std::int64_t>(rng() % 3);
                    keys.insert(next);
                    records.push_back({TvxFieldValue::Integer(next), TvxFieldValue::Bytes(name)});
                    kept.push_back({std::to_string(next), name});
                }
            }

            test::TempDir out;
            const std::vector<TvxExportTable> tables = {TvxExportTable{"T", "T.DB", keyedTable()}};
            TvxExportResult result;
            result.tables.push_back({"T", 0, 0, 0, 0});
            {
                TvxSqliteTarget target(out.file("t.sqlite"), false);
                target.Begin(tables, result);
                test::RecordList source(records);
                target.WriteTable(0, source, result);
                target.Finish(result);
            }
            EXPECT_EQ(result.tables[0].records, kept.size());
            EXPECT_EQ(result.tables[0].rejected, refused.size());
            test::SqliteFile db(out.file("t.sqlite"));
            EXPECT_EQ(db.Rows("SELECT Id, Name FROM T ORDER BY rowid"), kept);
            if (!refused.empty()) {
                EXPECT_EQ(db.Rows("SELECT record, reason FROM _morvane_rejected ORDER BY rowid"), refused);
            }
        }
    }
}

} // namespace
} // namespace morvane
