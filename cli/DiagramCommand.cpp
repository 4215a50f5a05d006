// morvane-cli diagram: draws a database's tables and referential-integrity rules through
// Graphviz into an SVG, PNG or DOT file (chosen by the file's extension), or, with --script,
// the new structure of a script document with what it changes marked. In the SVG each table is
// a group titled with its name and each rule a group titled DEPENDENT->MASTER. Exit status:
// 0 written, 1 an error (message on stderr, no file written), 2 usage error.
#include "db/cpDatabase.h"
#include "script/cpDBStructScript.h"
#include "script/TvxScriptTableList.h"

#include <cstdio>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CliConnect.h"
#include "CliDocument.h"
#include "diagram/TvxDiagramGraph.h"
#include "diagram/vxDiagramOfScript.h"
#include "diagram/vxDiagramOfTables.h"

namespace morvane::cli {

namespace {

int usage()
{
    std::fprintf(stderr, "usage: morvane-cli diagram <directory-or-alias> -o <file.svg|file.png|file.dot>\n"
                         "                           [--script <document.vxscript>] [--password P]...\n");
    return 2;
}

struct TvxDiagramArgs
{
    std::string source;
    std::string output;
    std::string script;
    std::vector<std::string> passwords;
};

bool parse(int argc, char** argv, TvxDiagramArgs& args)
{
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc && argv[i + 1][0] != '\0';
        if ((a == "-o" || a == "--output") && hasValue)
            args.output = argv[++i];
        else if (a == "--script" && hasValue)
            args.script = argv[++i];
        else if (a == "--password" && i + 1 < argc)
            args.passwords.emplace_back(argv[++i]);
        else if (!a.empty() && a[0] != '-' && args.source.empty())
            args.source = a;
        else
            return false;
    }
    return !args.source.empty() && !args.output.empty();
}

std::vector<TvxDiagramSource> SourcesOf(const TvxTableItems& items)
{
    std::vector<TvxDiagramSource> sources;
    for (const TvxTableItem& item : items)
        sources.push_back({item.name, item.desc.get()});
    return sources;
}

} // namespace

int RunDiagram(int argc, char** argv)
{
    TvxDiagramArgs args;
    if (!parse(argc, argv, args))
        return usage();
    const std::optional<TvxDiagramFormat> format = DiagramFormatOf(args.output);
    if (!format) {
        std::fprintf(stderr, "morvane-cli: %s: the file name must end in .svg, .png or .dot\n", args.output.c_str());
        return 2;
    }
    try {
        TvxSourceTables sourceTables;
        auto engine = CreateParadoxEngine();
        TvxDatabase db(*engine);
        TvxDiagram diagram;
        if (args.script.empty()) {
            if (!Connect(db, args.source, args.passwords))
                return 1;
            const TvxTableItems items = db.ReadTables();
            diagram = DiagramOfTables(SourcesOf(items));
        } else {
            TvxScriptTableList tables;
            TvxDBScript script;
            if (!LoadDocument(args.script, args.source, args.passwords, db, sourceTables, tables, script))
                return 1;
            diagram = DiagramOfScript(SourcesOf(sourceTables.Items()), tables, script);
        }
        TvxDiagramGraph(diagram).RenderToFile(args.output, *format);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morvane-cli: %s\n", e.what());
    }
    return 1;
}

} // namespace morvane::cli
