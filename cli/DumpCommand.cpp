// morvane-cli dump: prints the records of one Paradox table of a directory or alias, as a
// readable table or as one JSON object (UTF-8), streaming: memory does not grow with the table.
#include "db/cpDatabase.h"
#include "db/vxValueDisplay.h"
#include "model/vxCodePage.h"
#include "model/vxFieldTypes.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CliConnect.h"

namespace morvane::cli {

namespace {

struct TvxDumpArgs
{
    std::string source;
    std::string table;
    std::vector<std::string> passwords;
    bool json = false;
    std::uint64_t limit = UINT64_MAX;
};

int usage()
{
    std::fprintf(stderr,
                 "usage: morvane-cli dump <directory-or-alias> <table> [--password P]... [--json] [--limit N]\n");
    return 2;
}

bool parseLimit(const std::string& text, std::uint64_t& limit)
{
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, limit);
    return !text.empty() && r.ec == std::errc() && r.ptr == end;
}

struct TvxDumpField
{
    std::string name; // UTF-8
    int type = 0;
    std::size_t width = 0;
    bool right = false;
};

std::size_t displayWidth(const std::string& utf8)
{
    std::size_t n = 0;
    for (const char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// Column width of a readable table: the name, or what the type's values usually need.
std::size_t typeWidth(int type, int units1)
{
    switch (type) {
    case fldAlpha:
        return static_cast<std::size_t>(std::min(std::max(units1, 1), 30));
    case fldShort:
        return 6;
    case fldLong:
    case fldAutoInc:
        return 11;
    case fldNumber:
    case fldMoney:
        return 12;
    case fldBcd:
        return 20;
    case fldDate:
        return 10;
    case fldTime:
        return 12;
    case fldTimestamp:
        return 23;
    case fldLogical:
        return 5;
    case fldMemo:
    case fldFmtMemo:
        return 30;
    default:
        return 12;
    }
}

bool rightAligned(int type)
{
    return type == fldShort || type == fldLong || type == fldAutoInc || type == fldNumber || type == fldMoney ||
           type == fldBcd;
}

void appendCell(std::string& line, const std::string& text, const TvxDumpField& f, bool last)
{
    const std::size_t w = displayWidth(text);
    const std::string pad(w < f.width ? f.width - w : 0, ' ');
    if (f.right)
        line += pad + text;
    else
        line += last ? text : text + pad;
    if (!last)
        line += "  ";
}

} // namespace

int RunDump(int argc, char** argv)
{
    TvxDumpArgs args;
    std::vector<std::string> positional;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json")
            args.json = true;
        else if (a == "--password" && i + 1 < argc)
            args.passwords.push_back(argv[++i]);
        else if (a.rfind("--password=", 0) == 0)
            args.passwords.push_back(a.substr(11));
        else if (a == "--limit" && i + 1 < argc) {
            if (!parseLimit(argv[++i], args.limit))
                return usage();
        } else if (a.rfind("--limit=", 0) == 0) {
            if (!parseLimit(a.substr(8), args.limit))
                return usage();
        } else if (a.rfind("--", 0) == 0)
            return usage();
        else
            positional.push_back(a);
    }
    if (positional.size() != 2)
        return usage();
    args.source = positional[0];
    args.table = positional[1];

    int status = 0;
    try {
        auto engine = CreateParadoxEngine();
        TvxDatabase db(*engine);
        if (!Connect(db, args.source, args.passwords))
            return 1;
        const TvxTableListRec listed = db.FindTable(args.table);
        const std::string engineName = db.EngineTableName(listed);
        const TvxCursorProps props = db.Handle()->ReadTableProperties(engineName);
        const int codePage = props.codePage();
        std::vector<TvxDumpField> fields;
        for (const TvxFieldDesc& f : db.Handle()->ReadFieldDescriptors(engineName)) {
            TvxDumpField d;
            d.name = CodePageToUtf8(f.name(), codePage);
            d.type = f.type();
            d.width = std::max(displayWidth(d.name), typeWidth(f.type(), f.units1()));
            d.right = rightAligned(f.type());
            fields.push_back(std::move(d));
        }
        auto records = db.OpenRecords(engineName);

        std::string out;
        if (args.json) {
            out += "{\"name\": ";
            AppendJsonString(out, FileSystemName(listed.tableName(), codePage));
            out += ", \"fields\": [";
            for (std::size_t i = 0; i < fields.size(); ++i) {
                out += i ? ", {\"name\": " : "{\"name\": ";
                AppendJsonString(out, fields[i].name);
                out += ", \"type\": " + std::to_string(fields[i].type) + ", \"typeName\": ";
                AppendJsonString(out, CodePageToUtf8(db.FieldTypeName(fields[i].type), codePage));
                out += "}";
            }
            out += "], \"records\": [";
        } else {
            for (std::size_t i = 0; i < fields.size(); ++i)
                appendCell(out, fields[i].name, fields[i], i + 1 == fields.size());
            out += '\n';
        }
        std::cout << out;

        TvxRecord record;
        for (std::uint64_t n = 0; n < args.limit;) {
            try {
                if (!records->Next(record))
                    break;
            } catch (const EvxEngineError& e) {
                // A damaged value is reported and its record printed with it blank; damage to the
                // table's structure ends the dump.
                std::fprintf(stderr, "morvane-cli: %s\n", e.what());
                status = 1;
                if (!records->Resumable())
                    break;
            }
            out.clear();
            if (args.json) {
                out += n ? ",\n[" : "\n[";
                for (std::size_t i = 0; i < fields.size() && i < record.size(); ++i) {
                    if (i)
                        out += ", ";
                    AppendValueJson(out, record[i], fields[i].type, codePage);
                }
                out += ']';
            } else {
                for (std::size_t i = 0; i < fields.size() && i < record.size(); ++i)
                    appendCell(out, ValueDisplayText(record[i], fields[i].type, codePage), fields[i],
                               i + 1 == fields.size());
                out += '\n';
            }
            std::cout << out;
            ++n;
        }
        for (const std::string& note : records->TakeNotes())
            std::fprintf(stderr, "morvane-cli: %s\n", FileSystemName(note, codePage).c_str());
        if (args.json) // closed also after damage, so what was read stays a valid document
            std::cout << "\n]}\n";
        std::cout.flush();
        if (!std::cout) {
            std::fprintf(stderr, "morvane-cli: cannot write the output\n");
            return 1;
        }
        return status;
    } catch (const EvxEngineError& e) {
        std::cout.flush();
        std::fprintf(stderr, "morvane-cli: %s\n", e.what());
    } catch (const std::exception& e) {
        std::cout.flush();
        std::fprintf(stderr, "morvane-cli: %s\n", e.what());
    }
    return 1;
}

} // namespace morvane::cli
