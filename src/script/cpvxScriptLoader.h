#pragma once
// TvxDBScriptLoader: owns a script's command list, empties it, reads a command section from a
// stream (announcing every command through AfterLoad) and writes one (SaveToStream). The
// builder derives from it. It knows no engine: Clear reports the temporary aliases to remove
// through OnDeleteAlias, which the owner wires to its engine session.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "script/TvxCommand.h"

namespace morvane {

class TvxStream;

// Handler of AfterLoad and of the builder's OnAddCommand. It may throw (EvxAbort to stop a
// load silently); the command stays owned by the script.
using TAddCommandEvent = std::function<void(TvxCommand& comm)>;

inline constexpr const char* vxSourceAlias = "vxALIAS";
inline constexpr const char* vxTargetAlias = "vxNEW";

class TvxDBScriptLoader
{
public:
    TvxDBScriptLoader() = default;
    // Calls Clear (errors from OnDeleteAlias are ignored here).
    virtual ~TvxDBScriptLoader();
    TvxDBScriptLoader(const TvxDBScriptLoader&) = delete;
    TvxDBScriptLoader& operator=(const TvxDBScriptLoader&) = delete;

    int Count() const { return static_cast<int>(commands_.size()); }
    // nullptr when i is negative or at or beyond Count.
    TvxCommand* Command(int i);
    const TvxCommand* Command(int i) const;

    // Removes every command, first to last. An Add alias (Add new alias) command whose alias
    // name is empty first asks OnDeleteAlias to remove "vxALIAS" ("vxNEW"). An exception from
    // the handler stops Clear with the remaining commands still in the script.
    void Clear();

    // Reads one command section (integer n, then n command records) and appends its commands,
    // firing DoAfterLoad after each. Does not empty the script first. A count that would take
    // the script beyond MaxScriptCommands throws EReadError before any command is read. On an
    // error or an abort
    // from AfterLoad, the commands appended so far stay (the one whose handler threw
    // included), the stream stands after the last byte consumed and the exception goes on.
    void LoadFromStream(TvxStream& stream);

    // Writes the command section: integer n, then every command's record. Throws EWriteError.
    void SaveToStream(TvxStream& stream) const;

    // When i is below Count, releases the command at i, puts this one there and returns true;
    // otherwise returns false and leaves `command` with the caller.
    bool ReplaceCommand(int i, std::unique_ptr<TvxCommand>&& command);

    TAddCommandEvent AfterLoad;
    std::function<void(const std::string& aliasName)> OnDeleteAlias;

protected:
    virtual void DoAfterLoad(TvxCommand& command);
    std::vector<std::unique_ptr<TvxCommand>>& Commands() { return commands_; }
    const std::vector<std::unique_ptr<TvxCommand>>& Commands() const { return commands_; }

private:
    std::vector<std::unique_ptr<TvxCommand>> commands_;
};

} // namespace morvane
