#pragma once
// TvxUpdateReport: what an update-server run did, or, for a dry run, would do: per table the
// records carried, the values carried only cut (with the first few examples), the records
// kept in problem and key-violation tables, the validity checks and rules existing records
// break, and the passwords a run needs. Texts are UTF-8. Text() is the form people read,
// Json() the form programs read (one object; keys as the members are named).

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

struct TvxValueCut
{
    std::string field;
    std::string original; // the value as the source held it, as text
    std::string stored;   // what the new table holds; empty for a blank
};

struct TvxCheckBreak
{
    std::string field;
    std::string check; // "required", "minimum", "maximum", "picture" or "rule <name>"
    std::int64_t records = 0;
};

struct TvxTableUpdateReport
{
    static constexpr std::size_t MaxExamples = 5;

    std::string table;  // target table file name
    std::string origin; // the table its records come from; empty for a new, empty table
    std::string action; // "create", "copy" or "restructure"
    std::int64_t recordsRead = 0;
    std::int64_t recordsCarried = 0;
    std::int64_t valuesCut = 0;
    std::vector<TvxValueCut> cutExamples;
    std::vector<TvxCheckBreak> checkBreaks;
    std::int64_t problemRecords = 0; // original records kept in problemTable
    std::int64_t keyViolations = 0;  // original records kept in keyViolTable
    std::string problemTable;
    std::string keyViolTable;
    bool passwordNeeded = false;
    std::vector<std::string> notes;

    // Counts a cut value, keeping it as an example while fewer than MaxExamples are kept.
    void AddCut(TvxValueCut cut);
    // Adds n to the break of that field and check.
    void AddBreak(const std::string& field, const std::string& check, std::int64_t n = 1);
};

struct TvxUpdateReport
{
    int code = 0;
    std::string message; // the code's text, naming the table or field concerned
    bool dryRun = false;
    std::string scriptFile;
    std::string scriptKind; // "update" or "maintenance"; empty when the script was not read
    std::string source;
    std::string target;
    std::vector<TvxTableUpdateReport> tables;
    std::vector<std::string> passwordsNeeded; // tables that no password given opens
    // What the run did besides its tables: an interrupted run recovered, leftovers removed, a
    // stale lock taken over, files kept aside.
    std::vector<std::string> notes;

    std::int64_t TotalRecordsCarried() const;
    std::int64_t TotalValuesCut() const;
    std::int64_t TotalProblemRecords() const;
    std::int64_t TotalKeyViolations() const;

    std::string Text() const;
    std::string Json() const;
};

} // namespace morvane
