// morvane-cli: headless access to the Paradox reader, the script files and the update server.
#include <cstdio>
#include <cstring>

#include "CliCommands.h"
#include "platform/TvxProgramArguments.h"

int main(int argc, char** argvOfSystem)
{
    morvane::TvxProgramArguments arguments(argc, argvOfSystem);
    char** argv = arguments.argv();
    if (argc >= 2 && std::strcmp(argv[1], "inspect") == 0)
        return morvane::cli::RunInspect(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "show") == 0)
        return morvane::cli::RunShow(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "dump") == 0)
        return morvane::cli::RunDump(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "run") == 0)
        return morvane::cli::RunRun(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "export") == 0)
        return morvane::cli::RunExport(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "copy") == 0)
        return morvane::cli::RunCopy(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "diff") == 0)
        return morvane::cli::RunDiff(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "build") == 0)
        return morvane::cli::RunBuild(argc - 2, argv + 2);
#ifdef MORVANE_DIAGRAM
    if (argc >= 2 && std::strcmp(argv[1], "diagram") == 0)
        return morvane::cli::RunDiagram(argc - 2, argv + 2);
#endif
    std::fprintf(stderr,
                 "usage: morvane-cli inspect <directory-or-alias> [--password P]... [--json]\n"
                 "       morvane-cli show <file.vxscript|file.vxusp|file.vxmsp>\n"
                 "       morvane-cli dump <directory-or-alias> <table> [--password P]... [--json] [--limit N]\n"
                 "       morvane-cli run <script.vxusp|script.vxmsp> --source <directory-or-alias> [--target <directory>]\n"
                 "                       [--password P]... [--dry-run] [--json]\n"
                 "       morvane-cli export <directory-or-alias> --to csv|sqlite --output <path> [--table T]...\n"
                 "                          [--password P]... [--force]\n"
                 "       morvane-cli export <directory-or-alias> --to postgres --dsn <connection string> [--schema S]\n"
                 "                          [--table T]... [--password P]... [--force]\n"
                 "       morvane-cli copy <directory-or-alias> <target directory> [--password P]... [--level 3|4|5|7]\n"
                 "       morvane-cli diff <source directory-or-alias> <wanted directory-or-alias> -o <document.vxscript>\n"
                 "                        [--password P]... [--rename TABLE.OLD=NEW]... [--target <directory-or-alias>]\n"
                 "                        [--force]\n"
                 "       morvane-cli build <document.vxscript> [--source <directory-or-alias>] [--password P]...\n"
                 "       morvane-cli diagram <directory-or-alias> -o <file.svg|file.png|file.dot>\n"
                 "                           [--script <document.vxscript>] [--password P]...\n");
    return 2;
}
