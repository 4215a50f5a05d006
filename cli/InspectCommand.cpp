#include <cstdio>

#include "CliCommands.h"

namespace morvane::cli {

int RunInspect(int, char**)
{
    std::fprintf(stderr, "morvane-cli: this command is not available in this build\n");
    return 1;
}

} // namespace morvane::cli
