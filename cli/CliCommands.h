#pragma once
// The subcommands of morvane-cli; each takes the arguments after its name and returns the
// exit status (0 success, 1 failure with a message on stderr, 2 usage error).

namespace morvane::cli {

// inspect, copy and export exit with 3 when a table (or a value) they could not read was left out.
int RunInspect(int argc, char** argv);
int RunShow(int argc, char** argv);
int RunDump(int argc, char** argv);
// run also exits with 3 when the run kept records in problem tables.
int RunRun(int argc, char** argv);
// export also exits with 3 when records were refused by SQLite (kept in _morvane_rejected) or
// written with a damaged value blank.
int RunExport(int argc, char** argv);
int RunCopy(int argc, char** argv);
int RunDiff(int argc, char** argv);
int RunBuild(int argc, char** argv);
int RunDiagram(int argc, char** argv);

} // namespace morvane::cli
