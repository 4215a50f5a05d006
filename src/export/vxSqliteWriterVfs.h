#pragma once
// A SQLite VFS over the default one that writes a connection's main database file on a thread
// of its own: SQLite's thread hands each page over (copied) and goes on, while the writing
// thread puts it in the file. Any other use of the file (a read, its size, a lock, a sync,
// closing it) first waits for the pending writes, so SQLite always sees the file it wrote;
// other files (journals, temporary files) are the default VFS's own. A write that failed is
// reported by the file's next use, and by SqliteWriterCheckOp; the writer thread holds at most
// 1 MiB at a time.

namespace morvane {

// The VFS's name for sqlite3_open_v2 (registered, not as the default, on first call).
const char* SqliteWriterVfs();

// sqlite3_file_control(db, "main", SqliteWriterCheckOp, nullptr) waits for the pending writes
// of the main file and returns SQLITE_OK, or the result code of the first write that failed.
inline constexpr int SqliteWriterCheckOp = 0x4D56574B;

} // namespace morvane
