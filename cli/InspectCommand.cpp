// morvane-cli inspect: prints the structure of every Paradox table of a directory or alias,
// read through the same connection the editor uses, as text or as JSON (UTF-8).
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "CliCommands.h"
#include "CliConnect.h"
#include "db/cpDatabase.h"
#include "model/clvxTableDesc.h"
#include "model/vxCodePage.h"
#include "model/vxFieldTypes.h"

namespace morvane::cli {

namespace {

using nlohmann::ordered_json;

struct TvxInspectArgs
{
    std::string source;
    std::vector<std::string> passwords;
    bool json = false;
};

int usage()
{
    std::fprintf(stderr, "usage: morvane-cli inspect <directory-or-alias> [--password P]... [--json]\n");
    return 2;
}

std::vector<int> firstOf(int count, int limit, auto get)
{
    std::vector<int> out;
    for (int i = 0; i < count && i < limit; ++i)
        out.push_back(get(i));
    return out;
}

int fieldType(const TvxTableDesc& desc, int fieldNo)
{
    const TvxFieldDesc* f = desc.GetField(fieldNo - 1);
    return f ? f->type() : 0;
}

ordered_json tableJson(const std::string& name, const TvxTableDesc& desc, TvxDatabase& db)
{
    const auto utf8 = [codePage = desc.CodePage()](std::string_view text) { return CodePageToUtf8(text, codePage); };
    ordered_json t;
    t["name"] = FileSystemName(name, desc.CodePage());
    t["fileName"] = FileSystemName(desc.FileName(), desc.CodePage());
    t["tableType"] = utf8(desc.TableTypeName());
    t["level"] = desc.TableLevel();
    t["codePage"] = desc.CodePage();
    t["languageDriver"] = utf8(desc.LanguageDriver());
    t["blockSize"] = desc.BlockSize();
    t["recordSize"] = desc.RecordSize();
    t["restructureVersion"] = desc.RestructureVersion();
    t["protected"] = desc.Protected();
    t["strictRefInt"] = desc.StrictRefInt();

    ordered_json fields = ordered_json::array();
    for (const auto& f : desc.Fields()) {
        ordered_json j;
        j["number"] = f.fieldNumber();
        j["name"] = utf8(f.name());
        j["type"] = f.type();
        j["typeName"] = utf8(db.FieldTypeName(f.type()));
        j["units1"] = f.units1();
        j["units2"] = f.units2();
        j["offset"] = f.offset();
        j["length"] = f.length();
        fields.push_back(std::move(j));
    }
    t["fields"] = std::move(fields);

    ordered_json indexes = ordered_json::array();
    for (const auto& x : desc.Indexes()) {
        ordered_json j;
        j["name"] = utf8(x.name());
        j["id"] = x.id();
        j["primary"] = x.primary();
        j["unique"] = x.unique();
        j["maintained"] = x.maintained();
        j["descending"] = x.descending();
        j["caseInsensitive"] = x.caseInsensitive();
        j["keyFields"] = firstOf(x.keyFieldCount(), TvxIndexDesc::MaxKeyFields, [&](int i) { return x.keyField(i); });
        indexes.push_back(std::move(j));
    }
    t["indexes"] = std::move(indexes);

    ordered_json checks = ordered_json::array();
    for (const auto& c : desc.ValChecks()) {
        const TvxValCheckTexts texts = ValCheckTexts(c, fieldType(desc, c.fieldNumber()));
        ordered_json j;
        j["field"] = c.fieldNumber();
        j["required"] = texts.required;
        // null for a value that has no text (outside the type's range)
        const auto value = [&](const std::optional<std::string>& text) {
            return text ? ordered_json(utf8(*text)) : ordered_json();
        };
        j["minimum"] = value(texts.minimum);
        j["maximum"] = value(texts.maximum);
        j["default"] = value(texts.defaultValue);
        j["picture"] = utf8(texts.picture);
        checks.push_back(std::move(j));
    }
    t["validityChecks"] = std::move(checks);

    ordered_json rules = ordered_json::array();
    for (const auto& r : desc.RefInts()) {
        ordered_json j;
        j["name"] = utf8(r.name());
        j["kind"] = r.kind() == TvxRefIntDesc::Master ? "master" : "dependent";
        j["otherTable"] = utf8(r.otherTable());
        j["updateRule"] = r.updateRule() == TvxRefIntDesc::Cascade ? "cascade" : "prohibit";
        j["deleteRule"] = r.deleteRule() == TvxRefIntDesc::Cascade ? "cascade" : "prohibit";
        j["thisFields"] = firstOf(r.fieldCount(), TvxRefIntDesc::MaxFields, [&](int i) { return r.thisField(i); });
        j["otherFields"] = firstOf(r.fieldCount(), TvxRefIntDesc::MaxFields, [&](int i) { return r.otherField(i); });
        rules.push_back(std::move(j));
    }
    t["refInts"] = std::move(rules);
    return t;
}

std::string joined(const ordered_json& numbers)
{
    std::string s;
    for (const auto& n : numbers) {
        if (!s.empty())
            s += ',';
        s += std::to_string(n.get<int>());
    }
    return s;
}

std::string quoted(const std::string& text)
{
    std::string q(1, '"');
    q += text;
    q += '"';
    return q;
}

std::string yesNo(const ordered_json& b) { return b.get<bool>() ? "yes" : "no"; }

void printText(const ordered_json& doc)
{
    for (const auto& t : doc["tables"]) {
        std::cout << "Table " << t["name"].get<std::string>() << " (" << t["fileName"].get<std::string>() << ")\n"
                  << "  type " << t["tableType"].get<std::string>() << ", level " << t["level"] << ", code page "
                  << t["codePage"] << ", language driver " << t["languageDriver"].get<std::string>()
                  << ", block size " << t["blockSize"] << ", record size " << t["recordSize"] << "\n"
                  << "  protected " << yesNo(t["protected"]) << ", strict referential integrity "
                  << yesNo(t["strictRefInt"]) << "\n";
        std::cout << "  Fields (" << t["fields"].size() << ")\n";
        for (const auto& f : t["fields"])
            std::cout << "    " << f["number"] << ". " << f["name"].get<std::string>() << "  "
                      << f["typeName"].get<std::string>() << " (" << f["type"] << ") units " << f["units1"] << "/"
                      << f["units2"] << ", offset " << f["offset"] << ", length " << f["length"] << "\n";
        std::cout << "  Indexes (" << t["indexes"].size() << ")\n";
        for (const auto& x : t["indexes"])
            std::cout << "    " << (x["primary"].get<bool>() ? std::string("primary key") : quoted(x["name"].get<std::string>()))
                      << " id " << x["id"] << ", unique " << yesNo(x["unique"]) << ", maintained "
                      << yesNo(x["maintained"]) << ", descending " << yesNo(x["descending"])
                      << ", case-insensitive " << yesNo(x["caseInsensitive"]) << ", key fields "
                      << joined(x["keyFields"]) << "\n";
        std::cout << "  Validity checks (" << t["validityChecks"].size() << ")\n";
        for (const auto& c : t["validityChecks"])
            std::cout << "    field " << c["field"] << ": required " << yesNo(c["required"]) << ", minimum \""
                      << c["minimum"].get<std::string>() << "\", maximum \"" << c["maximum"].get<std::string>()
                      << "\", default \"" << c["default"].get<std::string>() << "\", picture \""
                      << c["picture"].get<std::string>() << "\"\n";
        std::cout << "  Referential integrity (" << t["refInts"].size() << ")\n";
        for (const auto& r : t["refInts"])
            std::cout << "    \"" << r["name"].get<std::string>() << "\" " << r["kind"].get<std::string>()
                      << ", other table " << r["otherTable"].get<std::string>() << ", update "
                      << r["updateRule"].get<std::string>() << ", fields " << joined(r["thisFields"]) << " -> "
                      << joined(r["otherFields"]) << "\n";
    }
}

} // namespace

int RunInspect(int argc, char** argv)
{
    TvxInspectArgs args;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json")
            args.json = true;
        else if (a == "--password" && i + 1 < argc)
            args.passwords.push_back(argv[++i]);
        else if (a.rfind("--password=", 0) == 0)
            args.passwords.push_back(a.substr(11));
        else if (a.rfind("--", 0) == 0 || !args.source.empty())
            return usage();
        else
            args.source = a;
    }
    if (args.source.empty())
        return usage();

    try {
        auto engine = CreateParadoxEngine();
        TvxDatabase db(*engine);
        if (!Connect(db, args.source, args.passwords))
            return 1;
        ordered_json doc;
        doc["tables"] = ordered_json::array();
        for (const auto& item : db.ReadTables())
            doc["tables"].push_back(tableJson(item.name, *item.desc, db));
        doc["errors"] = ordered_json::array();
        for (const auto& skipped : db.SkippedTables()) {
            ordered_json e;
            e["fileName"] = FileSystemName(skipped.name, vxNewTableCodePage);
            e["reason"] = FileSystemName(skipped.reason, vxNewTableCodePage);
            if (!args.json)
                std::fprintf(stderr, "morvane-cli: %s: not read: %s\n", e["fileName"].get<std::string>().c_str(),
                             e["reason"].get<std::string>().c_str());
            doc["errors"].push_back(std::move(e));
        }
        if (args.json)
            std::cout << doc.dump(2) << "\n";
        else
            printText(doc);
        std::cout.flush();
        if (!std::cout) {
            std::fprintf(stderr, "morvane-cli: cannot write the output\n");
            return 1;
        }
        return db.SkippedTables().empty() ? 0 : 3;
    } catch (const EvxEngineError& e) {
        std::fprintf(stderr, "morvane-cli: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morvane-cli: %s\n", e.what());
    }
    return 1;
}

} // namespace morvane::cli
