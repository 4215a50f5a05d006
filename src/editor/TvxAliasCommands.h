#pragma once
// The "Alia&ses" menu and the alias controls of the main window: the alias list, the source
// database's connection state and the engine's password question.

namespace morvane {

class TFormDBScript;

class TvxAliasCommands
{
public:
    explicit TvxAliasCommands(TFormDBScript& window) : window_(window) {}

    // ComboAlias ← the aliases of the session "Session". Engine errors propagate.
    void FillAliasList();
    // Caption of the first "Alia&ses" item and the alias controls, by the connection state.
    void DatabaseConnected(bool connected);
    // Asks for a password (10028/10029); OK gives it to the session and answers true (retry).
    bool DatabasePassword();
    // No alias chosen; the path and the new-alias fields emptied.
    void ClearAliasFields();

private:
    TFormDBScript& window_;
};

} // namespace morvane
