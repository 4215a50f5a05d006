#include "script/vxCommandText.h"

namespace morvane {

std::string CommandText(const TvxCommand& command)
{
    std::string line = command.Label() + " -> ";
    for (int i = 0; i < command.ParamCount(); ++i) {
        line += ' ';
        line += command.Param(i)->AsText();
    }
    return line;
}

} // namespace morvane
