#pragma once
// The texts of a script run as the editor shows them (pt-BR, from the string table): the
// question before a run, the preview of a run that would lose data, the result after a run.
// The server's own notes are shown as it gives them.

#include <QString>

namespace morvane {

struct TvxUpdateReport;

// Asks to run script from source into target; targetHasTables adds that the target's tables
// will be replaced.
QString vxRunQuestion(const QString& script, const QString& source, const QString& target, bool targetHasTables);
// The dry run's report, table by table, worded as what a run would do.
QString vxRunPreview(const TvxUpdateReport& preview);
// What a run did: the target, the tables written, the records carried and, when some were set
// aside, the problem tables with their counts.
QString vxRunResult(const TvxUpdateReport& report);
// Whether the directory holds Paradox tables (a run would replace those it writes).
bool vxHasTables(const QString& directory);

} // namespace morvane
