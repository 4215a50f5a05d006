#include "export/vxSqliteWriterVfs.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <sqlite3.h>
#include <thread>
#include <vector>

#include "platform/vxFileIo.h"

namespace morvane {

namespace {

constexpr const char* VfsName = "morvane-writer";
constexpr std::size_t MaxPendingBytes = std::size_t{1} << 20;
constexpr std::size_t FlushBytes = std::size_t{2} << 20;
// An idle writer is woken when this much waits (or when someone waits for it): waking a
// thread costs more than writing a page.
constexpr std::size_t WakeBytes = std::size_t{256} << 10;

// The writes of one file, done in order on a thread of its own; the first failure is kept.
// Every 2 MiB written, the thread starts them on their way to disk (through flushFd, another
// descriptor of the same file; -1: none), so that a final flush has less left to wait for.
class TvxFileWriter
{
public:
    TvxFileWriter(sqlite3_file* file, TvxFileHandle flushFd) : file_(file), flushFd_(flushFd), thread_([this] { run(); }) {}
    ~TvxFileWriter()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        work_.notify_all();
        thread_.join();
        vxCloseFile(flushFd_);
    }

    int Write(const void* data, int amount, sqlite3_int64 offset)
    {
        std::unique_lock lock(mutex_);
        if (pendingBytes_ >= MaxPendingBytes && error_ == SQLITE_OK) {
            ++waiting_;
            if (idle_)
                work_.notify_one();
            done_.wait(lock, [this] { return pendingBytes_ < MaxPendingBytes || error_ != SQLITE_OK; });
            --waiting_;
        }
        if (error_ != SQLITE_OK)
            return error_;
        std::vector<char> bytes;
        if (!spare_.empty()) {
            bytes = std::move(spare_.back());
            spare_.pop_back();
        }
        bytes.assign(static_cast<const char*>(data), static_cast<const char*>(data) + amount);
        pendingBytes_ += bytes.size();
        pending_.push_back({std::move(bytes), offset});
        const bool wake = idle_ && pendingBytes_ >= WakeBytes;
        lock.unlock();
        if (wake)
            work_.notify_one();
        return SQLITE_OK;
    }

    // Waits for the pending writes; the first failure's result code.
    int Drain()
    {
        std::unique_lock lock(mutex_);
        if (!pending_.empty() || busy_) {
            ++waiting_;
            if (idle_)
                work_.notify_one();
            done_.wait(lock, [this] { return pending_.empty() && !busy_; });
            --waiting_;
        }
        return error_;
    }

private:
    struct TvxWrite
    {
        std::vector<char> bytes;
        sqlite3_int64 offset = 0;
    };

    void run()
    {
        std::size_t unflushed = 0;
        std::unique_lock lock(mutex_);
        for (;;) {
            if (pending_.empty() && !stop_) {
                idle_ = true;
                work_.wait(lock, [this] { return stop_ || !pending_.empty(); });
                idle_ = false;
            }
            if (pending_.empty())
                return; // stopped with nothing left
            TvxWrite w = std::move(pending_.front());
            pending_.pop_front();
            busy_ = true;
            const bool failed = error_ != SQLITE_OK;
            lock.unlock();
            int rc = SQLITE_OK;
            if (!failed) {
                rc = file_->pMethods->xWrite(file_, w.bytes.data(), static_cast<int>(w.bytes.size()), w.offset);
                unflushed += w.bytes.size();
                if (flushFd_ != vxNoFileHandle && unflushed >= FlushBytes) {
                    vxStartWriteback(flushFd_);
                    unflushed = 0;
                }
            }
            lock.lock();
            busy_ = false;
            if (rc != SQLITE_OK && error_ == SQLITE_OK)
                error_ = rc;
            pendingBytes_ -= w.bytes.size();
            spare_.push_back(std::move(w.bytes));
            if (waiting_ > 0)
                done_.notify_all();
        }
    }

    sqlite3_file* file_;
    TvxFileHandle flushFd_;
    std::mutex mutex_;
    std::condition_variable work_; // for the writer: something to write, or stop
    std::condition_variable done_; // for SQLite's thread: room for more, or nothing pending
    std::deque<TvxWrite> pending_;
    std::vector<std::vector<char>> spare_; // at most MaxPendingBytes' worth of buffers
    std::size_t pendingBytes_ = 0;
    int waiting_ = 0;   // threads waiting on done_
    bool idle_ = false; // the writer waits on work_
    bool busy_ = false; // the writer is writing one it has taken
    bool stop_ = false;
    int error_ = SQLITE_OK;
    std::thread thread_;
};

struct TvxWriterFile
{
    sqlite3_file base;
    sqlite3_file* real;
    TvxFileWriter* writer;
};

// The default VFS's file sits after ours, 8-aligned.
constexpr int RealFileOffset = static_cast<int>((sizeof(TvxWriterFile) + 7) / 8 * 8);

sqlite3_vfs* defaultVfs(sqlite3_vfs* vfs)
{
    return static_cast<sqlite3_vfs*>(vfs->pAppData);
}

TvxWriterFile* writerFile(sqlite3_file* file)
{
    return reinterpret_cast<TvxWriterFile*>(file);
}

// The real file, once the pending writes are done; rc: the first failure among them.
sqlite3_file* drained(sqlite3_file* file, int& rc)
{
    TvxWriterFile* f = writerFile(file);
    rc = f->writer->Drain();
    return f->real;
}

int xClose(sqlite3_file* file)
{
    TvxWriterFile* f = writerFile(file);
    const int written = f->writer->Drain();
    delete f->writer;
    f->writer = nullptr;
    const int rc = f->real->pMethods->xClose(f->real);
    return written != SQLITE_OK ? written : rc;
}

int xRead(sqlite3_file* file, void* out, int amount, sqlite3_int64 offset)
{
    int rc = SQLITE_OK;
    sqlite3_file* real = drained(file, rc);
    return rc != SQLITE_OK ? rc : real->pMethods->xRead(real, out, amount, offset);
}

int xWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset)
{
    return writerFile(file)->writer->Write(data, amount, offset);
}

int xTruncate(sqlite3_file* file, sqlite3_int64 size)
{
    int rc = SQLITE_OK;
    sqlite3_file* real = drained(file, rc);
    return rc != SQLITE_OK ? rc : real->pMethods->xTruncate(real, size);
}

int xSync(sqlite3_file* file, int flags)
{
    int rc = SQLITE_OK;
    sqlite3_file* real = drained(file, rc);
    return rc != SQLITE_OK ? rc : real->pMethods->xSync(real, flags);
}

int xFileSize(sqlite3_file* file, sqlite3_int64* size)
{
    int rc = SQLITE_OK;
    sqlite3_file* real = drained(file, rc);
    return rc != SQLITE_OK ? rc : real->pMethods->xFileSize(real, size);
}

// Locks are taken and given up whatever the writes did: SQLite must be able to unlock.
int xLock(sqlite3_file* file, int level)
{
    int rc = SQLITE_OK;
    sqlite3_file* real = drained(file, rc);
    return real->pMethods->xLock(real, level);
}

int xUnlock(sqlite3_file* file, int level)
{
    int rc = SQLITE_OK;
    sqlite3_file* real = drained(file, rc);
    return real->pMethods->xUnlock(real, level);
}

int xCheckReservedLock(sqlite3_file* file, int* out)
{
    int rc = SQLITE_OK;
    sqlite3_file* real = drained(file, rc);
    return real->pMethods->xCheckReservedLock(real, out);
}

int xFileControl(sqlite3_file* file, int op, void* arg)
{
    int rc = SQLITE_OK;
    sqlite3_file* real = drained(file, rc);
    if (op == SqliteWriterCheckOp)
        return rc;
    return real->pMethods->xFileControl(real, op, arg);
}

int xSectorSize(sqlite3_file* file)
{
    int rc = SQLITE_OK;
    sqlite3_file* real = drained(file, rc);
    return real->pMethods->xSectorSize(real);
}

int xDeviceCharacteristics(sqlite3_file* file)
{
    int rc = SQLITE_OK;
    sqlite3_file* real = drained(file, rc);
    return real->pMethods->xDeviceCharacteristics(real);
}

// Version 1: no shared memory (no WAL) and no memory-mapped reading of the file.
sqlite3_io_methods makeMethods()
{
    sqlite3_io_methods m{};
    m.iVersion = 1;
    m.xClose = xClose;
    m.xRead = xRead;
    m.xWrite = xWrite;
    m.xTruncate = xTruncate;
    m.xSync = xSync;
    m.xFileSize = xFileSize;
    m.xLock = xLock;
    m.xUnlock = xUnlock;
    m.xCheckReservedLock = xCheckReservedLock;
    m.xFileControl = xFileControl;
    m.xSectorSize = xSectorSize;
    m.xDeviceCharacteristics = xDeviceCharacteristics;
    return m;
}

const sqlite3_io_methods writerMethods = makeMethods();

int xOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    sqlite3_vfs* real = defaultVfs(vfs);
    if (!(flags & SQLITE_OPEN_MAIN_DB)) // the default VFS's file in our space: its own methods
        return real->xOpen(real, name, file, flags, outFlags);
    TvxWriterFile* f = writerFile(file);
    f->base.pMethods = nullptr;
    f->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + RealFileOffset);
    f->writer = nullptr;
    const int rc = real->xOpen(real, name, f->real, flags, outFlags);
    if (rc != SQLITE_OK)
        return rc;
    try {
        f->writer = new TvxFileWriter(f->real, vxOpenFile(name, EvxOpenMode::Read));
    } catch (...) {
        f->real->pMethods->xClose(f->real);
        return SQLITE_NOMEM;
    }
    f->base.pMethods = &writerMethods;
    return SQLITE_OK;
}

// The rest is the default VFS's.
int xDelete(sqlite3_vfs* vfs, const char* name, int syncDir)
{
    return defaultVfs(vfs)->xDelete(defaultVfs(vfs), name, syncDir);
}

int xAccess(sqlite3_vfs* vfs, const char* name, int flags, int* out)
{
    return defaultVfs(vfs)->xAccess(defaultVfs(vfs), name, flags, out);
}

int xFullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out)
{
    return defaultVfs(vfs)->xFullPathname(defaultVfs(vfs), name, size, out);
}

void* xDlOpen(sqlite3_vfs* vfs, const char* name)
{
    return defaultVfs(vfs)->xDlOpen(defaultVfs(vfs), name);
}

void xDlError(sqlite3_vfs* vfs, int size, char* out)
{
    defaultVfs(vfs)->xDlError(defaultVfs(vfs), size, out);
}

void (*xDlSym(sqlite3_vfs* vfs, void* handle, const char* symbol))(void)
{
    return defaultVfs(vfs)->xDlSym(defaultVfs(vfs), handle, symbol);
}

void xDlClose(sqlite3_vfs* vfs, void* handle)
{
    defaultVfs(vfs)->xDlClose(defaultVfs(vfs), handle);
}

int xRandomness(sqlite3_vfs* vfs, int size, char* out)
{
    return defaultVfs(vfs)->xRandomness(defaultVfs(vfs), size, out);
}

int xSleep(sqlite3_vfs* vfs, int microseconds)
{
    return defaultVfs(vfs)->xSleep(defaultVfs(vfs), microseconds);
}

int xCurrentTime(sqlite3_vfs* vfs, double* out)
{
    return defaultVfs(vfs)->xCurrentTime(defaultVfs(vfs), out);
}

int xGetLastError(sqlite3_vfs* vfs, int size, char* out)
{
    return defaultVfs(vfs)->xGetLastError(defaultVfs(vfs), size, out);
}

int xCurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* out)
{
    sqlite3_vfs* real = defaultVfs(vfs);
    if (real->iVersion >= 2 && real->xCurrentTimeInt64)
        return real->xCurrentTimeInt64(real, out);
    double now = 0;
    const int rc = real->xCurrentTime(real, &now);
    *out = static_cast<sqlite3_int64>(now * 86400000.0);
    return rc;
}

sqlite3_vfs* registerVfs()
{
    if (sqlite3_initialize() != SQLITE_OK)
        return nullptr;
    sqlite3_vfs* real = sqlite3_vfs_find(nullptr);
    if (!real)
        return nullptr;
    static sqlite3_vfs vfs{};
    vfs.iVersion = 2;
    vfs.szOsFile = RealFileOffset + real->szOsFile;
    vfs.mxPathname = real->mxPathname;
    vfs.zName = VfsName;
    vfs.pAppData = real;
    vfs.xOpen = xOpen;
    vfs.xDelete = xDelete;
    vfs.xAccess = xAccess;
    vfs.xFullPathname = xFullPathname;
    vfs.xDlOpen = xDlOpen;
    vfs.xDlError = xDlError;
    vfs.xDlSym = xDlSym;
    vfs.xDlClose = xDlClose;
    vfs.xRandomness = xRandomness;
    vfs.xSleep = xSleep;
    vfs.xCurrentTime = xCurrentTime;
    vfs.xGetLastError = xGetLastError;
    vfs.xCurrentTimeInt64 = xCurrentTimeInt64;
    return sqlite3_vfs_register(&vfs, 0) == SQLITE_OK ? &vfs : nullptr;
}

} // namespace

const char* SqliteWriterVfs()
{
    static sqlite3_vfs* const vfs = registerVfs();
    return vfs ? VfsName : nullptr; // nullptr: the default VFS
}

} // namespace morvane
