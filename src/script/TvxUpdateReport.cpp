#include "script/TvxUpdateReport.h"

#include <cstdio>

#include "model/vxCodePage.h"

namespace morvane {

namespace {

// Texts in the report are meant to be UTF-8; anything else (a file name in another encoding)
// is read as Windows-1252 so that the JSON stays valid.
std::string AsUtf8(const std::string& s)
{
    return IsUtf8(s) ? s : CodePageToUtf8(s, vxNewTableCodePage);
}

std::string JsonString(const std::string& raw)
{
    const std::string s = AsUtf8(raw);
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
    return out;
}

class TvxJsonObject
{
public:
    explicit TvxJsonObject(std::string& out) : out_(out) { out_ += '{'; }
    ~TvxJsonObject() { out_ += '}'; }
    TvxJsonObject(const TvxJsonObject&) = delete;
    TvxJsonObject& operator=(const TvxJsonObject&) = delete;

    std::string& Key(const char* name)
    {
        if (!first_)
            out_ += ',';
        first_ = false;
        out_ += JsonString(name);
        out_ += ':';
        return out_;
    }
    void Add(const char* name, const std::string& v) { Key(name) += JsonString(v); }
    void Add(const char* name, std::int64_t v) { Key(name) += std::to_string(v); }
    void Add(const char* name, int v) { Key(name) += std::to_string(v); }
    void Add(const char* name, bool v) { Key(name) += v ? "true" : "false"; }
    void Add(const char* name, const std::vector<std::string>& list)
    {
        std::string& out = Key(name);
        out += '[';
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (i)
                out += ',';
            out += JsonString(list[i]);
        }
        out += ']';
    }

private:
    std::string& out_;
    bool first_ = true;
};

void TableJson(std::string& out, const TvxTableUpdateReport& t)
{
    TvxJsonObject o(out);
    o.Add("table", t.table);
    o.Add("origin", t.origin);
    o.Add("action", t.action);
    o.Add("recordsRead", t.recordsRead);
    o.Add("recordsCarried", t.recordsCarried);
    o.Add("valuesCut", t.valuesCut);
    {
        std::string& s = o.Key("cutExamples");
        s += '[';
        for (std::size_t i = 0; i < t.cutExamples.size(); ++i) {
            if (i)
                s += ',';
            TvxJsonObject e(s);
            e.Add("field", t.cutExamples[i].field);
            e.Add("original", t.cutExamples[i].original);
            e.Add("stored", t.cutExamples[i].stored);
        }
        s += ']';
    }
    {
        std::string& s = o.Key("checkBreaks");
        s += '[';
        for (std::size_t i = 0; i < t.checkBreaks.size(); ++i) {
            if (i)
                s += ',';
            TvxJsonObject e(s);
            e.Add("field", t.checkBreaks[i].field);
            e.Add("check", t.checkBreaks[i].check);
            e.Add("records", t.checkBreaks[i].records);
        }
        s += ']';
    }
    o.Add("problemRecords", t.problemRecords);
    o.Add("keyViolations", t.keyViolations);
    o.Add("problemTable", t.problemTable);
    o.Add("keyViolTable", t.keyViolTable);
    o.Add("passwordNeeded", t.passwordNeeded);
    o.Add("notes", t.notes);
}

void Line(std::string& out, const std::string& text)
{
    out += AsUtf8(text);
    out += '\n';
}

} // namespace

void TvxTableUpdateReport::AddCut(TvxValueCut cut)
{
    ++valuesCut;
    if (cutExamples.size() < MaxExamples)
        cutExamples.push_back(std::move(cut));
}

void TvxTableUpdateReport::AddBreak(const std::string& field, const std::string& check, std::int64_t n)
{
    for (TvxCheckBreak& b : checkBreaks)
        if (b.field == field && b.check == check) {
            b.records += n;
            return;
        }
    checkBreaks.push_back({field, check, n});
}

std::int64_t TvxUpdateReport::TotalRecordsCarried() const
{
    std::int64_t n = 0;
    for (const auto& t : tables)
        n += t.recordsCarried;
    return n;
}

std::int64_t TvxUpdateReport::TotalValuesCut() const
{
    std::int64_t n = 0;
    for (const auto& t : tables)
        n += t.valuesCut;
    return n;
}

std::int64_t TvxUpdateReport::TotalProblemRecords() const
{
    std::int64_t n = 0;
    for (const auto& t : tables)
        n += t.problemRecords;
    return n;
}

std::int64_t TvxUpdateReport::TotalKeyViolations() const
{
    std::int64_t n = 0;
    for (const auto& t : tables)
        n += t.keyViolations;
    return n;
}

std::string TvxUpdateReport::Text() const
{
    std::string out;
    Line(out, std::string(dryRun ? "Preview of " : "Run of ") + (scriptKind.empty() ? "script" : scriptKind + " script") +
                  " " + scriptFile);
    Line(out, "Source: " + source);
    Line(out, "Target: " + target);
    for (const auto& t : tables) {
        std::string head = "Table " + t.table + " (" + t.action;
        if (!t.origin.empty())
            head += " from " + t.origin;
        head += "): " + std::to_string(t.recordsCarried) + " of " + std::to_string(t.recordsRead) +
                " records carried";
        Line(out, head);
        if (t.valuesCut > 0) {
            Line(out, "  " + std::to_string(t.valuesCut) + " values carried only cut, for example:");
            for (const auto& c : t.cutExamples)
                Line(out, "    " + c.field + ": \"" + c.original + "\" -> " +
                              (c.stored.empty() ? std::string("blank") : "\"" + c.stored + "\""));
        }
        for (const auto& b : t.checkBreaks)
            Line(out, "  " + std::to_string(b.records) + " records break " + b.check + " of " + b.field);
        if (t.problemRecords > 0)
            Line(out, "  " + std::to_string(t.problemRecords) + " original records kept in " + t.problemTable);
        if (t.keyViolations > 0)
            Line(out, "  " + std::to_string(t.keyViolations) + " original records kept in " + t.keyViolTable);
        if (t.passwordNeeded)
            Line(out, "  needs a password");
        for (const auto& n : t.notes)
            Line(out, "  note: " + n);
    }
    for (const auto& p : passwordsNeeded)
        Line(out, "Password needed for " + p);
    for (const auto& n : notes)
        Line(out, "Note: " + n);
    Line(out, "Totals: " + std::to_string(TotalRecordsCarried()) + " records carried, " +
                  std::to_string(TotalValuesCut()) + " values cut, " + std::to_string(TotalProblemRecords()) +
                  " problem records, " + std::to_string(TotalKeyViolations()) + " key violations");
    Line(out, "Result: " + std::to_string(code) + (message.empty() ? std::string() : " " + message));
    return out;
}

std::string TvxUpdateReport::Json() const
{
    std::string out;
    {
        TvxJsonObject o(out);
        o.Add("code", code);
        o.Add("message", message);
        o.Add("dryRun", dryRun);
        o.Add("scriptFile", scriptFile);
        o.Add("scriptKind", scriptKind);
        o.Add("source", source);
        o.Add("target", target);
        std::string& s = o.Key("tables");
        s += '[';
        for (std::size_t i = 0; i < tables.size(); ++i) {
            if (i)
                s += ',';
            TableJson(s, tables[i]);
        }
        s += ']';
        o.Add("passwordsNeeded", passwordsNeeded);
        o.Add("notes", notes);
        o.Add("recordsCarried", TotalRecordsCarried());
        o.Add("valuesCut", TotalValuesCut());
        o.Add("problemRecords", TotalProblemRecords());
        o.Add("keyViolations", TotalKeyViolations());
    }
    return out;
}

} // namespace morvane
