#pragma once
// Opening a script document (.vxscript) as the editor opens one, for the window and the
// command line alike: the header is read and ignored, every command is appended to the script
// and replayed through the replayer (which also hands the alias commands to its OnSourceAlias
// and OnTargetAlias, so that the source database is open before an Add table needs it), then
// the new tables' descriptor records are read when their count matches the tables rebuilt.
//
// The caller empties the script and the replayer's table list first. While loading, the
// script's AfterLoad is the replay; whatever was assigned before is restored afterwards.
// An Add table whose source table the source database lacks stops the loading there: the
// result carries 10027 (TvxScriptMsg::SourceTableMissing) and the table's name, and what was
// loaded before stays. File and stream failures throw (EFOpenError, EReadError), as do the
// replayer's hooks; what was loaded before stays then too.

#include <string>

namespace morvane {

class TvxDBScriptLoader;
class TvxScriptReplayer;

struct TvxDocumentLoadResult
{
    int messageId = 0;          // 0: loaded whole; 10027: a source table is missing
    std::string missingTable;   // with 10027: the source table, as the command names it
    bool descriptorsRead = false;
};

TvxDocumentLoadResult LoadScriptDocument(const std::string& fileName, TvxDBScriptLoader& script,
                                         TvxScriptReplayer& replayer);

} // namespace morvane
