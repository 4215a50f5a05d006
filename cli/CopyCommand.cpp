// morvane-cli copy: writes every table of a database anew into another directory through our
// writer, with the same structure, records and passwords (optionally at another table level).
// The target is created when missing; it must not be the source, nor hold a table of a name
// the source has. A table that fails is reported and left out whole, a damaged value is written
// blank (exit 3 when something was left out); the others are written into a working directory
// of the target and installed together under the target's journal and lock, as a run of the
// update server is (a killed copy leaves the target as it was, and copying again recovers
// first). Each family keeps the letter case of its source's file names; files of a table we do
// not rewrite (.TV, .FAM, forms, reports) are carried across unchanged.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CliConnect.h"
#include "db/TvxResumingRecords.h"
#include "db/cpDatabase.h"
#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxTableHeader.h"
#include "db/paradox/ParadoxWriter.h"
#include "model/vxTextCase.h"
#include "platform/TvxPlatformFiles.h"
#include "script/vxUpdateServerCodes.h"
#include "server/EvxRunError.h"
#include "server/TvxStagingArea.h"
#include "server/TvxTargetGuard.h"
#include "platform/vxPath.h"

namespace morvane::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t MaxHeaderBytes = 0x10000;

struct CopyArgs
{
    std::string source;
    std::string target;
    std::vector<std::string> passwords;
    int level = 0;
};

int usage()
{
    std::fprintf(stderr,
                 "usage: morvane-cli copy <source directory-or-alias> <target directory> [--password P]... "
                 "[--level 3|4|5|7]\n");
    return 2;
}

bool parse(int argc, char** argv, CopyArgs& args)
{
    std::vector<std::string> positional;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--password" && i + 1 < argc)
            args.passwords.push_back(argv[++i]);
        else if (a.rfind("--password=", 0) == 0)
            args.passwords.push_back(a.substr(11));
        else if ((a == "--level" && i + 1 < argc) || a.rfind("--level=", 0) == 0) {
            const std::string v = a == "--level" ? argv[++i] : a.substr(8);
            if (v != "3" && v != "4" && v != "5" && v != "7")
                return false;
            args.level = std::stoi(v);
        } else if (a.rfind("--", 0) == 0)
            return false;
        else
            positional.push_back(a);
    }
    if (positional.size() != 2)
        return false;
    args.source = positional[0];
    args.target = positional[1];
    return true;
}

// What a rewrite keeps of a table's own header (field ids, counters, sort order, raw bytes)
// and the key its blocks are encrypted with.
void readHeader(const std::string& path, ParadoxHeaderCarry& carry, std::uint32_t& key)
{
    const std::unique_ptr<ParadoxFileSource> file = ParadoxFileSource::Open(path);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(file->Size(), MaxHeaderBytes)));
    bytes.resize(file->ReadAt(0, bytes.data(), bytes.size()));
    carry = ParadoxHeaderCarryOf(bytes.data(), bytes.size(), file->Size(), path);
    key = ParseParadoxHeader(bytes.data(), bytes.size(), file->Size(), path).passwordKey();
}

struct SourceTable
{
    TvxTableListRec rec;
    std::string engineName; // "CUST.DB"
    std::string fileName;   // as the directory holds it
    std::string base;       // file name without extension
    std::unique_ptr<TvxTableDesc> desc;
};

// Files of the target that belong to a table named base (any letter case, any family file).
std::vector<std::string> familyIn(const std::vector<std::string>& files, const std::string& base)
{
    std::vector<std::string> out;
    for (const auto& name : files) {
        const auto dot = name.rfind('.');
        if (dot == std::string::npos || !SameText(name.substr(0, dot), base))
            continue;
        const std::string ext = UpperText(name.substr(dot + 1));
        if (ext == "DB" || ext == "PX" || ext == "VAL" || ext == "MB" ||
            (ext.size() == 3 && (ext[0] == 'X' || ext[0] == 'Y')))
            out.push_back(name);
    }
    return out;
}

} // namespace

int RunCopy(int argc, char** argv)
{
    CopyArgs args;
    if (!parse(argc, argv, args))
        return usage();
    try {
        auto engine = CreateParadoxEngine();
        TvxDatabase db(*engine);
        if (!Connect(db, args.source, args.passwords))
            return 1;
        const std::string sourceDir = db.Handle()->Directory();
        std::error_code ec;
        if (fs::exists(vxPath(args.target), ec) && fs::equivalent(vxPath(args.target), vxPath(sourceDir), ec)) {
            std::fprintf(stderr, "morvane-cli: %s is the source directory; copy into another one\n",
                         args.target.c_str());
            return 1;
        }
        if (!fs::is_directory(vxPath(args.target), ec) && (!fs::create_directories(vxPath(args.target), ec) || ec)) {
            std::fprintf(stderr, "morvane-cli: directory %s cannot be created (%s)\n", args.target.c_str(),
                         ec ? ec.message().c_str() : "not a directory");
            return 1;
        }

        TvxPlatformFiles& platform = TvxPlatformFiles::System();
        std::unique_ptr<TvxTargetGuard> guard;
        try {
            guard = std::make_unique<TvxTargetGuard>(platform, args.target);
        } catch (const EvxRunError& e) {
            std::fprintf(stderr, "morvane-cli: %s: %s\n", RunCodeText(e.Code()).c_str(), e.what());
            return 1;
        }
        for (const std::string& note : guard->Recovery().notes)
            std::fprintf(stderr, "morvane-cli: note: %s\n", note.c_str());

        std::vector<SourceTable> tables;
        for (const TvxTableListRec& rec : db.Handle()->ListTables("*.db")) {
            SourceTable t;
            t.rec = rec;
            t.engineName = db.EngineTableName(rec);
            t.base = rec.fileName();
            t.fileName = t.base + "." + rec.extension();
            tables.push_back(std::move(t));
        }
        std::vector<std::string> targetFiles;
        for (const auto& e : fs::directory_iterator(vxPath(args.target)))
            targetFiles.push_back(vxPathString(e.path().filename()));
        bool clash = false;
        for (const auto& t : tables)
            for (const auto& name : familyIn(targetFiles, t.base)) {
                std::fprintf(stderr, "morvane-cli: %s already holds %s, a file of table %s\n", args.target.c_str(),
                             FileSystemName(name, 1252).c_str(), FileSystemName(t.fileName, 1252).c_str());
                clash = true;
            }
        if (clash)
            return 1;

        // Every structure first: a rule's master side names the index its dependent has.
        bool failed = false;
        for (auto& t : tables) {
            try {
                t.desc = std::make_unique<TvxTableDesc>(db.ReadTable(t.rec));
            } catch (const EvxEngineError& e) {
                std::fprintf(stderr, "morvane-cli: %s: not copied: %s\n", FileSystemName(t.fileName, 1252).c_str(),
                             e.what());
                failed = true;
            }
        }
        const auto otherTable = [&](std::string_view name) -> const TvxTableDesc* {
            for (const auto& t : tables)
                if (t.desc && (SameText(t.fileName, name) || SameText(t.engineName, name)))
                    return t.desc.get();
            return nullptr;
        };

        TvxStagingArea staging(platform, args.target);
        std::vector<std::string> written;
        for (const auto& t : tables) {
            if (!t.desc)
                continue;
            const std::string shown = FileSystemName(t.fileName, t.desc->CodePage());
            try {
                ParadoxWriteOptions options;
                options.level = args.level;
                readHeader(sourceDir + "/" + t.fileName, options.carry, options.passwordKey);
                options.otherTable = otherTable;
                options.sourceDirectory = sourceDir;
                options.extensions = ParadoxFamilyExtensions(ParadoxWriterFiles::System(), sourceDir, t.base);
                const std::unique_ptr<IvxRecordSource> source = db.OpenRecords(t.engineName);
                TvxResumingRecords records(*source, [&](const std::string& damage) {
                    std::fprintf(stderr, "morvane-cli: %s; written with the value blank\n",
                                 FileSystemName(damage, t.desc->CodePage()).c_str());
                    failed = true;
                });
                const ParadoxWriteResult r = ParadoxWriteTable(*t.desc, records, staging.Path(), t.base, options);
                written.push_back(t.base);
                for (const std::string& name : UnwrittenFamilyFiles(platform, sourceDir, t.base)) {
                    if (std::find(targetFiles.begin(), targetFiles.end(), name) == targetFiles.end())
                        platform.CopyFile(sourceDir + "/" + name, staging.Path() + "/" + name);
                    else
                        std::fprintf(stderr, "morvane-cli: %s: %s not carried: the target holds a file of that name\n",
                                     shown.c_str(), FileSystemName(name, t.desc->CodePage()).c_str());
                }
                for (const auto& w : r.warnings)
                    std::fprintf(stderr, "morvane-cli: %s: %s\n", shown.c_str(),
                                 FileSystemName(w, t.desc->CodePage()).c_str());
                for (const auto& note : records.TakeNotes())
                    std::fprintf(stderr, "morvane-cli: %s\n", FileSystemName(note, t.desc->CodePage()).c_str());
                std::cout << shown << ": " << r.records << " records, level " << r.level << ", " << r.files.size()
                          << " files\n";
            } catch (const EvxEngineError& e) {
                std::fprintf(stderr, "morvane-cli: %s: not copied: %s\n", shown.c_str(), e.what());
                failed = true;
            }
        }
        try {
            staging.Commit(written);
        } catch (const EvxRunError& e) {
            std::fprintf(stderr, "morvane-cli: %s: %s\n", RunCodeText(e.Code()).c_str(), e.what());
            return 1;
        }
        std::cout.flush();
        if (!std::cout) {
            std::fprintf(stderr, "morvane-cli: cannot write the output\n");
            return 1;
        }
        return failed ? 3 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morvane-cli: %s\n", e.what());
    }
    return 1;
}

} // namespace morvane::cli
