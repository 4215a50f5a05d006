// morvane-cli show: prints a script document, update script or maintenance script readably.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "model/clvxTableDesc.h"
#include "model/vxCodePage.h"
#include "model/vxFieldTypes.h"
#include "script/IvxScriptFileSink.h"
#include "script/TvxScriptFileVersion.h"
#include "script/vxCommandText.h"
#include "script/vxScriptFileReader.h"
#include "stream/EvxStreamError.h"
#include "stream/TvxFileStream.h"
#include "stream/TvxMemoryStream.h"

namespace morvane::cli {

namespace {

// Script texts (Windows-1252) to UTF-8 for the terminal; undefined bytes become U+FFFD, and
// control characters, which a damaged or hostile file may hold, are shown as \xNN so that they
// can neither break the listing's lines nor reach the terminal as commands. UTF-8 holds bytes
// below 0x80 only as themselves, so they are escaped after the conversion.
std::string Utf8(const std::string& text)
{
    const std::string utf8 = CodePageToUtf8(text, vxNewTableCodePage);
    std::string out;
    out.reserve(utf8.size());
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        } else {
            out += ch;
        }
    }
    return out;
}

std::string Quoted(const std::string& text)
{
    std::string s(1, '"');
    s.append(Utf8(text));
    s.push_back('"');
    return s;
}

const char* KindName(int kind)
{
    switch (kind) {
    case fkScriptDocument:
        return "script document";
    case fkUpdateScript:
        return "update script";
    case fkMaintenanceScript:
        return "maintenance script";
    }
    return "unknown";
}

const char* TypeName(int code)
{
    static const char* names[] = {"Alpha",   "Number", "Money", "Date",      "Short",   "Memo",
                                  "Binary",  "FmtMemo", "OLE",  "Graphic",   "Long",    "Time",
                                  "Timestamp", "Logical", "Autoinc", "Bytes", "BCD"};
    if (code >= fldAlpha && code <= fldBcd)
        return names[code - fldAlpha];
    return "?";
}

const char* YesNo(bool v)
{
    return v ? "yes" : "no";
}

std::string Hex(const std::uint8_t* area, std::size_t size)
{
    while (size > 0 && area[size - 1] == 0)
        --size;
    std::string s;
    char buf[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", area[i]);
        s += buf;
    }
    return s.empty() ? "00" : s;
}

// A check value's text, or the bytes of a value that has no text (out of the type's range).
std::string Shown(const std::optional<std::string>& text, const std::uint8_t* area)
{
    return text ? Quoted(*text) : Hex(area, TvxValCheckDesc::AreaSize);
}

std::string FieldList(const std::vector<int>& numbers, const TvxTableDesc* fields)
{
    std::string s;
    for (int n : numbers) {
        if (!s.empty())
            s += ", ";
        s += std::to_string(n);
        const TvxFieldDesc* f = fields ? fields->GetField(n - 1) : nullptr;
        if (f) {
            s.append(" (").append(Utf8(f->name())).push_back(')');
        }
    }
    return s.empty() ? "none" : s;
}

class ShowSink : public IvxScriptFileSink
{
public:
    void Header(const TvxScriptFileVersion& header, std::int32_t kind, bool hasFlag, bool flag) override
    {
        std::printf("Application: %s\nVersion: %s\n", Quoted(header.AppName).c_str(), Quoted(header.Version).c_str());
        if (header.FileKind == kind)
            std::printf("File kind: %d (%s)\n", kind, KindName(kind));
        else
            std::printf("File kind: %d (unknown; read as %s)\n", header.FileKind, KindName(kind));
        if (hasFlag)
            std::printf("Flag: %s\n", flag ? "true" : "false");
    }

    void CommandCount(std::int32_t count) override { std::printf("Commands: %d\n", count); }

    void Command(std::int32_t index, const TvxCommand& command) override
    {
        // A kind without a label is named by its code, so the line still says what it holds.
        const std::string code = command.Label().empty() ? "[kind " + std::to_string(command.Kind()) + "] " : "";
        std::printf("  %d. %s%s\n", index + 1, code.c_str(), Utf8(CommandText(command)).c_str());
        if (command.Kind() == ckCreateTable || command.Kind() == ckAddTable)
            tableNames_.push_back(command.ParamText(CreateTableParam::Table));
    }

    void TableCount(std::int32_t count) override
    {
        std::printf("Tables: %d\n", count);
        namesFit_ = static_cast<std::int32_t>(tableNames_.size()) == count;
    }

    void Table(std::int32_t index, const TvxTableDesc& table, bool structure) override
    {
        std::string name;
        if (structure)
            name = table.TableList().tableName();
        else if (namesFit_)
            name = tableNames_[static_cast<std::size_t>(index)];
        std::printf("  Table %d%s%s\n", index + 1, name.empty() ? "" : ": ", Utf8(name).c_str());
        if (structure)
            PrintStructure(table);
        PrintChecks(table, structure ? &table : nullptr);
        PrintRefInts(table, structure ? &table : nullptr);
        PrintIndexes(table, structure ? &table : nullptr);
    }

private:
    static void PrintStructure(const TvxTableDesc& t)
    {
        const TvxTableListRec& r = t.TableList();
        std::printf("    File name: %s; extension: %s; type: %s\n", Quoted(r.fileName()).c_str(),
                    Quoted(r.extension()).c_str(), Quoted(r.tableType()).c_str());
        std::printf("    Fields: %d\n", t.FieldCount());
        for (const TvxFieldDesc& f : t.Fields())
            std::printf("      %d. %s: %s (%d), units1 %d, units2 %d, length %d\n", f.fieldNumber(),
                        Utf8(f.name()).c_str(), TypeName(f.type()), f.type(), f.units1(), f.units2(), f.length());
    }

    static void PrintChecks(const TvxTableDesc& t, const TvxTableDesc* fields)
    {
        std::printf("    Validity checks: %d\n", static_cast<int>(t.ValChecks().size()));
        for (const TvxValCheckDesc& c : t.ValChecks()) {
            const TvxFieldDesc* f = fields ? fields->GetField(c.fieldNumber() - 1) : nullptr;
            std::printf("      Field %s: required %s", FieldList({c.fieldNumber()}, fields).c_str(), YesNo(c.required()));
            if (f) {
                const TvxValCheckTexts texts = ValCheckTexts(c, f->type());
                std::printf("; minimum %s; maximum %s; default %s", Shown(texts.minimum, c.minimum()).c_str(),
                            Shown(texts.maximum, c.maximum()).c_str(), Shown(texts.defaultValue, c.defaultValue()).c_str());
            } else {
                if (c.hasMinimum())
                    std::printf("; minimum %s", Hex(c.minimum(), TvxValCheckDesc::AreaSize).c_str());
                if (c.hasMaximum())
                    std::printf("; maximum %s", Hex(c.maximum(), TvxValCheckDesc::AreaSize).c_str());
                if (c.hasDefault())
                    std::printf("; default %s", Hex(c.defaultValue(), TvxValCheckDesc::AreaSize).c_str());
            }
            std::printf("; picture %s\n", Quoted(c.picture()).c_str());
        }
    }

    static void PrintRefInts(const TvxTableDesc& t, const TvxTableDesc* fields)
    {
        std::printf("    Referential-integrity rules: %d\n", static_cast<int>(t.RefInts().size()));
        for (const TvxRefIntDesc& r : t.RefInts()) {
            const int n = std::min(r.fieldCount(), TvxRefIntDesc::MaxFields);
            std::vector<int> mine, other;
            for (int i = 0; i < n; ++i) {
                mine.push_back(r.thisField(i));
                other.push_back(r.otherField(i));
            }
            std::printf("      %s: %s, other table %s; fields %s; other fields %s; update %s; delete %s\n",
                        Quoted(r.name()).c_str(), r.kind() == TvxRefIntDesc::Master ? "master" : "dependent",
                        Quoted(r.otherTable()).c_str(), FieldList(mine, fields).c_str(),
                        FieldList(other, nullptr).c_str(), r.updateRule() == TvxRefIntDesc::Cascade ? "cascade" : "prohibit",
                        r.deleteRule() == TvxRefIntDesc::Cascade ? "cascade" : "prohibit");
        }
    }

    static void PrintIndexes(const TvxTableDesc& t, const TvxTableDesc* fields)
    {
        std::printf("    Indexes: %d\n", static_cast<int>(t.Indexes().size()));
        for (const TvxIndexDesc& x : t.Indexes()) {
            const int n = std::min(x.keyFieldCount(), TvxIndexDesc::MaxKeyFields);
            std::vector<int> keys;
            for (int i = 0; i < n; ++i)
                keys.push_back(x.keyField(i));
            std::printf("      %s: fields %s; primary %s, unique %s, descending %s, case-insensitive %s, "
                        "maintained %s\n",
                        x.primary() && x.name().empty() ? "(primary key)" : Quoted(x.name()).c_str(),
                        FieldList(keys, fields).c_str(), YesNo(x.primary()), YesNo(x.unique()), YesNo(x.descending()),
                        YesNo(x.caseInsensitive()), YesNo(x.maintained()));
        }
    }

    std::vector<std::string> tableNames_;
    bool namesFit_ = false;
};

// Larger than any script; a pipe giving more is refused rather than held in memory.
constexpr std::size_t MaxUnseekableBytes = std::size_t{64} << 20;

// Reads the whole of a stream that cannot seek into `copy`, positioned at its start; false
// when it gives more than MaxUnseekableBytes.
bool CopyUnseekable(TvxStream& from, TvxMemoryStream& copy)
{
    std::vector<std::uint8_t> chunk(std::size_t{64} << 10);
    std::size_t total = 0;
    while (const std::size_t n = from.Read(chunk.data(), chunk.size())) {
        total += n;
        if (total > MaxUnseekableBytes)
            return false;
        copy.Write(chunk.data(), n);
    }
    copy.SetPosition(0);
    return true;
}

int KindFromExtension(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos)
        return -1;
    std::string ext = fileName.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (ext == "vxscript")
        return fkScriptDocument;
    if (ext == "vxusp")
        return fkUpdateScript;
    if (ext == "vxmsp")
        return fkMaintenanceScript;
    return -1;
}

} // namespace

int RunShow(int argc, char** argv)
{
    if (argc != 1 || argv[0][0] == '\0') {
        std::fprintf(stderr, "usage: morvane-cli show <file.vxscript|file.vxusp|file.vxmsp>\n");
        return 2;
    }
    const std::string fileName = argv[0];
    try {
        TvxFileStream file(fileName, TvxFileStream::Mode::OpenRead);
        // A pipe or a terminal cannot seek: what it gives is read whole first, so that the
        // reader's checks of what is left and the offsets it reports hold.
        TvxMemoryStream copy;
        const bool seekable = file.Position() >= 0;
        if (!seekable && !CopyUnseekable(file, copy)) {
            std::fprintf(stderr, "morvane-cli: %s: more than %zu MB from a file that cannot seek\n", fileName.c_str(),
                         MaxUnseekableBytes >> 20);
            return 1;
        }
        TvxStream& input = seekable ? static_cast<TvxStream&>(file) : copy;
        std::printf("File: %s\n", fileName.c_str());
        ShowSink sink;
        ReadScriptFile(input, sink, KindFromExtension(fileName));
        const std::int64_t rest = input.Size() - input.Position();
        if (rest > 0)
            std::printf("(%lld bytes after the last section)\n", static_cast<long long>(rest));
        std::fflush(stdout);
        return 0;
    } catch (const EvxFilerError& e) {
        std::fflush(stdout);
        if (e.Offset() >= 0)
            std::fprintf(stderr, "morvane-cli: %s: %s at byte offset %lld\n", fileName.c_str(), e.what(),
                         static_cast<long long>(e.Offset()));
        else
            std::fprintf(stderr, "morvane-cli: %s: %s\n", fileName.c_str(), e.what());
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "morvane-cli: %s\n", e.what());
    }
    return 1;
}

} // namespace morvane::cli
