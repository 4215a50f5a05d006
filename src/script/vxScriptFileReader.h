#pragma once
// Reads any of the program's script files section by section and hands what it reads to a
// sink, without keeping it: a document (file kind 0: commands, descriptor records), an update
// script (1: flag, commands) or a maintenance script (2: flag, structure records). When the
// header names another kind, kindHint (0, 1 or 2, e.g. from the file's extension) decides;
// with none, EReadError "Unknown file kind". Throws the reader's errors with their offsets, and
// EReadError for counts beyond what a script holds (vxScriptLimits.h).

#include <cstdint>

namespace morvane {

class TvxStream;
class IvxScriptFileSink;

void ReadScriptFile(TvxStream& stream, IvxScriptFileSink& sink, std::int32_t kindHint = -1);

} // namespace morvane
