#pragma once
// Result codes of an update-server run and their texts (UTF-8, the program's language). Each
// code is also the id of its text in the program's string table.

#include <string>

namespace morvane {

enum TvxRunCode : int {
    vxRunOK = 0,
    vxRunTableNotWritten = 293,   // a table of the target could not be written or moved into place
    vxRunScriptNotFound = 294,    // the script file does not exist (the executor gives -294)
    vxRunNoServer = 295,
    vxRunTableNotInScript = 296,  // a command names a table no earlier command created or added
    vxRunTargetNotCreated = 297,  // no target, or its directory cannot be created
    vxRunNotAScript = 298,        // not an update or maintenance script (or damaged)
    vxRunUnknownCommand = 299,    // a command of a kind the server does not know
    vxRunProblems = 300,          // done, but some records went to PROBLEM_/KEYVIOL_ tables
    vxRunPasswordNeeded = 301,    // a protected table and no password given opens it
    vxRunSourceUnreadable = 302,  // source database or one of its tables cannot be read
    vxRunTargetIsSource = 303,    // an update script would write into its own source
    vxRunFieldNotFound = 304,     // a command names a field its table does not hold
    vxRunFieldExists = 305,       // a command adds a field under a name its table already holds
    vxRunTargetLocked = 306,      // another run holds the target's lock for the whole wait
};

// The text of a code (the -294 of the executor included); empty for codes without one.
std::string RunCodeText(int code);

} // namespace morvane
