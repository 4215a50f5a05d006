// morvane-cli diff: the script document that turns a source database's structure into that of
// a wanted database (one a user shaped by hand in a test copy): tables matched by name, fields
// created, changed, moved and deleted, renamed fields carried, the wanted keys, indexes,
// checks and rules on the new tables. `build` and `run` then take the document as any other.
// The document replaces an existing file only with --force, and never a file of either
// database.
#include "db/cpDatabase.h"
#include "db/vxDatabaseFiles.h"
#include "model/vxCodePage.h"
#include "script/cpDBStructScript.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptTableList.h"
#include "script/vxNameCompare.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "CliCommands.h"
#include "CliConnect.h"
#include "diff/TvxScriptFromDifference.h"
#include "platform/vxPath.h"

namespace morvane::cli {

namespace {

struct DiffArgs
{
    std::string source;
    std::string wanted;
    std::string output;
    std::string target;
    std::vector<std::string> passwords;
    std::vector<std::string> renames;
    bool force = false;
};

int usage()
{
    std::fprintf(stderr, "usage: morvane-cli diff <source directory-or-alias> <wanted directory-or-alias> "
                         "-o <document.vxscript>\n"
                         "                        [--password P]... [--rename TABLE.OLD=NEW]... "
                         "[--target <directory-or-alias>] [--force]\n");
    return 2;
}

bool parse(int argc, char** argv, DiffArgs& args)
{
    std::vector<std::string> positional;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&](const char* name, std::string& into) {
            const std::string prefix = std::string(name) + "=";
            if (a == name && i + 1 < argc) {
                into = argv[++i];
                return true;
            }
            if (a.rfind(prefix, 0) == 0) {
                into = a.substr(prefix.size());
                return true;
            }
            return false;
        };
        std::string v;
        if (value("--password", v))
            args.passwords.push_back(v);
        else if (value("--rename", v))
            args.renames.push_back(v);
        else if (value("-o", args.output) || value("--output", args.output) || value("--target", args.target))
            continue;
        else if (a == "--force")
            args.force = true;
        else if (a.rfind("-", 0) == 0)
            return false;
        else
            positional.push_back(a);
    }
    if (positional.size() != 2 || args.output.empty())
        return false;
    args.source = positional[0];
    args.wanted = positional[1];
    return true;
}

// Names typed on the command line (UTF-8) in the code page of the tables they name.
void renamesInCodePages(TvxFieldRenames& renames, const TvxDiffDatabase& source, const TvxDiffDatabase& wanted)
{
    const auto codePage = [](const TvxTableDesc* t) { return t && t->CodePage() > 0 ? t->CodePage() : 1252; };
    for (TvxFieldRename& r : renames.All()) {
        r.oldName = Utf8ToCodePage(r.oldName, codePage(source.Find(r.table)));
        r.newName = Utf8ToCodePage(r.newName, codePage(wanted.Find(r.table)));
    }
}

TvxDiffTarget targetOf(TvxDatabase& db, const std::string& text)
{
    TvxDiffTarget target;
    if (text.empty())
        return target;
    std::error_code ec;
    if (!std::filesystem::is_directory(vxPath(text), ec))
        for (const auto& alias : db.Session().AliasNames())
            if (UpperCaseEqual(alias, text)) {
                target.aliasName = alias;
                return target;
            }
    // A directory, also one the update is to create.
    target.directory = vxPathString(std::filesystem::absolute(vxPath(text), ec).lexically_normal());
    return target;
}

// False, with a message, when the document may not be written to args.output.
bool outputAllowed(const DiffArgs& args, const TvxDatabase& source, const TvxDatabase& wanted)
{
    for (const auto& [db, which] : {std::pair{&source, "source"}, std::pair{&wanted, "wanted"}}) {
        const std::string role = DatabaseFileRole(db->Handle()->Directory(), args.output);
        if (!role.empty()) {
            std::fprintf(stderr, "morvane-cli: %s is %s of the %s database; the document is not written there\n",
                         args.output.c_str(), FileSystemName(role, 1252).c_str(), which);
            return false;
        }
    }
    std::error_code ec;
    if (!args.force && std::filesystem::exists(std::filesystem::symlink_status(args.output, ec))) {
        std::fprintf(stderr, "morvane-cli: %s exists (--force replaces it)\n", args.output.c_str());
        return false;
    }
    return true;
}

} // namespace

int RunDiff(int argc, char** argv)
{
    DiffArgs args;
    if (!parse(argc, argv, args))
        return usage();
    try {
        TvxFieldRenames renames;
        for (const std::string& spec : args.renames)
            renames.Add(spec);

        auto engine = CreateParadoxEngine();
        TvxDatabase sourceDb(*engine);
        TvxDatabase wantedDb(*engine);
        if (!Connect(sourceDb, args.source, args.passwords) || !Connect(wantedDb, args.wanted, args.passwords) ||
            !outputAllowed(args, sourceDb, wantedDb))
            return 1;
        // The passwords as typed and as the bytes of new tables (Connect gives the engine either).
        std::vector<std::string> passwords = args.passwords;
        for (const std::string& p : args.passwords)
            passwords.push_back(Utf8ToCodePage(p, vxNewTableCodePage));
        const TvxDiffDatabase source = ReadDiffDatabase(sourceDb, passwords);
        const TvxDiffDatabase wanted = ReadDiffDatabase(wantedDb, passwords);
        renamesInCodePages(renames, source, wanted);

        TvxScriptTableList list;
        TvxDBScript script;
        script.SetScriptTableList(&list);
        const TvxDifferenceReport report =
            BuildScriptFromDifference(script, source, wanted, renames, targetOf(sourceDb, args.target));
        SaveScriptDocument(args.output, "Morvane", script, list);
        script.SetScriptTableList(nullptr);

        for (const std::string& line : report.Lines())
            std::printf("%s\n", FileSystemName(line, 1252).c_str());
        std::printf("%s: %d commands, %d tables%s\n", args.output.c_str(), script.Count(), list.Count(),
                    report.Unchanged() ? " (the structures are the same)" : "");
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morvane-cli: %s\n", e.what());
    }
    return 1;
}

} // namespace morvane::cli
