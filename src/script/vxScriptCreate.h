#pragma once
// "C&riar script" below the window: the update script (.vxusp) and the maintenance script
// (.vxmsp) written beside a saved document, with the checks that come first. Each function
// answers a message id: 0 when its file was written, else the id of the check that failed.
// Each file is written through a temporary file renamed over the target (SaveFileAtomically),
// so a failure leaves any earlier file of that name as it was; file failures throw
// EFCreateError or EWriteError.

#include <string>
#include <string_view>

namespace morvane {

class TvxDBScriptLoader;
class TvxScriptTableList;

// The message ids of script creation and of opening a document.
struct TvxScriptMsg
{
    static constexpr int IndexWithoutFields = 112; // some index of a new table has no field
    static constexpr int RefIntIncomplete = 113;   // some rule of a new table is incomplete
    static constexpr int FileNameBlank = 114;      // the document was never saved
    static constexpr int ScriptsCreated = 124;     // both files written
    static constexpr int TableWithoutFields = 126; // a new table has no field (its name: %s)
    static constexpr int TableNameNotAllowed = 127; // a new table's name is not allowed (%s)
    static constexpr int SourceTableMissing = 10027; // an added table's source table is missing
};

// The two files of a document: its path with the extension of its file name replaced (dots in
// directory names do not count; a name without an extension gets the extension appended).
// documentFileName is taken with surrounding blanks removed.
struct TvxScriptFileNames
{
    std::string update;
    std::string maintenance;
};
TvxScriptFileNames ScriptFileNames(std::string_view documentFileName);

// 0, or 114 when documentFileName is blank (nothing written).
int ScriptUpdateCreate(std::string_view documentFileName, std::string_view appName, const TvxDBScriptLoader& script);
// 0, or the first failing check: 112 (an index without fields), 113 (an incomplete rule),
// 114 (blank name); nothing written then.
int ScriptMaintCreate(std::string_view documentFileName, std::string_view appName, const TvxScriptTableList& tables);
// 0, or 127 (a table name that TableNameFault refuses) or 126 (a table without fields) for
// the first such table, whose name goes to subject.
int ScriptTablesCheck(const TvxScriptTableList& tables, std::string& subject);
// Both, as the menu item does: the tables checked first; the update script; the maintenance
// script only when it was written. Answers 124 when both were written, else the id of the
// failed check (the update script stays written when the maintenance checks fail); subject:
// the table a failed check names.
int CreateScripts(std::string_view documentFileName, std::string_view appName, const TvxDBScriptLoader& script,
                  const TvxScriptTableList& tables, std::string* subject = nullptr);

// The text (UTF-8) of the messages above and of 10027 (126, 127, 10027 with their "%s"); empty
// for other ids.
std::string ScriptMessageText(int id);

} // namespace morvane
