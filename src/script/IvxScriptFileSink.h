#pragma once
// IvxScriptFileSink: receives, in file order, what ReadScriptFile finds in a script document,
// update script or maintenance script. References are valid only during the call.

#include <cstdint>

namespace morvane {

class TvxCommand;
class TvxScriptFileVersion;
class TvxTableDesc;

class IvxScriptFileSink
{
public:
    virtual ~IvxScriptFileSink() = default;
    // kind: the file kind the rest was read as; hasFlag: the header carries the flag section.
    virtual void Header(const TvxScriptFileVersion& header, std::int32_t kind, bool hasFlag, bool flag) = 0;
    virtual void CommandCount(std::int32_t count) = 0;
    virtual void Command(std::int32_t index, const TvxCommand& command) = 0;
    virtual void TableCount(std::int32_t count) = 0;
    // structure: a maintenance-script structure record (fields and table record included);
    // otherwise a document's descriptor record (checks, rules and indexes only).
    virtual void Table(std::int32_t index, const TvxTableDesc& table, bool structure) = 0;
};

} // namespace morvane
