#pragma once
// The text line of one command as the program lists it: the kind's label, " -> ", then for
// each parameter a blank and its text ("Create table ->  CLIENTES"). Single-byte text.

#include <string>

#include "script/TvxCommand.h"

namespace morvane {

std::string CommandText(const TvxCommand& command);

} // namespace morvane
