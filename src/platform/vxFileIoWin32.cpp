// The Win32 side of vxFileIo: UTF-8 paths made wide, handles from CreateFileW, errors mapped
// to errno values.
#ifdef _WIN32

#include <cerrno>
#include <random>

#include "platform/vxFileIo.h"
#include "platform/vxWin32.h"

namespace morvane {

namespace {

constexpr std::int64_t EpochDifference100ns = 116444736000000000LL; // 1601 to 1970

HANDLE AsHandle(TvxFileHandle h)
{
    return reinterpret_cast<HANDLE>(h);
}

TvxFileHandle FromHandle(HANDLE h)
{
    return h == INVALID_HANDLE_VALUE ? vxNoFileHandle : reinterpret_cast<TvxFileHandle>(h);
}

bool InfoFromAttributes(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, FILETIME written, TvxFileInfo& info)
{
    info.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.regular = !info.directory && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
    info.size = (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow;
    const std::int64_t ticks = (static_cast<std::int64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    info.modifiedNs = (ticks - EpochDifference100ns) * 100;
    return true;
}

} // namespace

TvxFileHandle vxOpenFile(const std::string& path, EvxOpenMode mode)
{
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
    case EvxOpenMode::Read:
        access = GENERIC_READ;
        break;
    case EvxOpenMode::ReadWrite:
        break;
    case EvxOpenMode::Create:
        disposition = CREATE_ALWAYS;
        break;
    case EvxOpenMode::CreateNew:
        disposition = CREATE_NEW;
        break;
    }
    // Others may read, write, rename and remove it while it is open, as on POSIX.
    const HANDLE h = ::CreateFileW(vxWide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        vxSetErrnoFromLastError();
    return FromHandle(h);
}

TvxFileHandle vxOpenFileIn(TvxFileHandle, const std::string& dirPath, const std::string& name, EvxOpenMode mode)
{
    return vxOpenFile(dirPath + "/" + name, mode);
}

TvxFileHandle vxOpenDirectory(const std::string& path)
{
    const HANDLE h =
        ::CreateFileW(vxWide(path).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        vxSetErrnoFromLastError();
        return vxNoFileHandle;
    }
    BY_HANDLE_FILE_INFORMATION bhi{};
    if (::GetFileInformationByHandle(h, &bhi) && (bhi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::CloseHandle(h);
        errno = ENOTDIR;
        return vxNoFileHandle;
    }
    return FromHandle(h);
}

bool vxCloseFile(TvxFileHandle h)
{
    return h == vxNoFileHandle || ::CloseHandle(AsHandle(h)) != 0;
}

bool vxFileInfoOf(TvxFileHandle h, TvxFileInfo& info)
{
    BY_HANDLE_FILE_INFORMATION bhi{};
    if (!::GetFileInformationByHandle(AsHandle(h), &bhi)) {
        vxSetErrnoFromLastError();
        return false;
    }
    InfoFromAttributes(bhi.dwFileAttributes, bhi.nFileSizeHigh, bhi.nFileSizeLow, bhi.ftLastWriteTime, info);
    info.removed = bhi.nNumberOfLinks == 0;
    info.device = bhi.dwVolumeSerialNumber;
    info.inode = (static_cast<std::uint64_t>(bhi.nFileIndexHigh) << 32) | bhi.nFileIndexLow;
    return true;
}

bool vxPathInfo(const std::string& path, TvxFileInfo& info)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(vxWide(path).c_str(), GetFileExInfoStandard, &data)) {
        vxSetErrnoFromLastError();
        return false;
    }
    InfoFromAttributes(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime, info);
    info.device = 0;
    info.inode = 0;
    return true;
}

bool vxPathInfoIn(TvxFileHandle, const std::string& dirPath, const std::string& name, TvxFileInfo& info)
{
    return vxPathInfo(dirPath + "/" + name, info);
}

bool vxListDirectory(TvxFileHandle, const std::string& dirPath, std::vector<TvxDirEntry>& entries)
{
    WIN32_FIND_DATAW found{};
    const HANDLE h = ::FindFirstFileW(vxWide(dirPath + "/*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND)
            return true; // no entry at all
        vxSetErrnoFromLastError();
        return false;
    }
    do {
        const std::string name = vxUtf8(found.cFileName);
        if (name == "." || name == "..")
            continue;
        const bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool device = (found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0;
        entries.push_back({name, directory ? EvxEntryKind::Directory
                                 : device  ? EvxEntryKind::Other
                                           : EvxEntryKind::Regular});
    } while (::FindNextFileW(h, &found));
    const DWORD err = ::GetLastError();
    ::FindClose(h);
    if (err != ERROR_NO_MORE_FILES) {
        vxSetErrnoFrom(err);
        return false;
    }
    return true;
}

namespace {

constexpr DWORD MaxChunk = 1u << 30;

std::int64_t Transfer(TvxFileHandle h, void* data, std::size_t size, const std::uint64_t* offset, bool write)
{
    const DWORD chunk = size > MaxChunk ? MaxChunk : static_cast<DWORD>(size);
    OVERLAPPED at{};
    if (offset) {
        at.Offset = static_cast<DWORD>(*offset);
        at.OffsetHigh = static_cast<DWORD>(*offset >> 32);
    }
    DWORD moved = 0;
    const BOOL ok = write ? ::WriteFile(AsHandle(h), data, chunk, &moved, offset ? &at : nullptr)
                          : ::ReadFile(AsHandle(h), data, chunk, &moved, offset ? &at : nullptr);
    if (!ok) {
        if (!write && ::GetLastError() == ERROR_HANDLE_EOF)
            return 0;
        vxSetErrnoFromLastError();
        return -1;
    }
    return moved;
}

} // namespace

std::int64_t vxRead(TvxFileHandle h, void* data, std::size_t size)
{
    return Transfer(h, data, size, nullptr, false);
}

std::int64_t vxWrite(TvxFileHandle h, const void* data, std::size_t size)
{
    return Transfer(h, const_cast<void*>(data), size, nullptr, true);
}

std::int64_t vxReadAt(TvxFileHandle h, void* data, std::size_t size, std::uint64_t offset)
{
    return Transfer(h, data, size, &offset, false);
}

std::int64_t vxWriteAt(TvxFileHandle h, const void* data, std::size_t size, std::uint64_t offset)
{
    return Transfer(h, const_cast<void*>(data), size, &offset, true);
}

std::int64_t vxSeek(TvxFileHandle h, std::int64_t offset, EvxSeekFrom from)
{
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    LARGE_INTEGER now{};
    const DWORD method = from == EvxSeekFrom::Begin     ? FILE_BEGIN
                         : from == EvxSeekFrom::Current ? FILE_CURRENT
                                                        : FILE_END;
    if (!::SetFilePointerEx(AsHandle(h), distance, &now, method)) {
        vxSetErrnoFromLastError();
        return -1;
    }
    return now.QuadPart;
}

bool vxFlushFile(TvxFileHandle h)
{
    if (::FlushFileBuffers(AsHandle(h)))
        return true;
    vxSetErrnoFromLastError();
    return false;
}

void vxStartWriteback(TvxFileHandle) noexcept {}

bool vxFlushFileSystem(const std::string&)
{
    return true; // every file written is flushed by its own handle
}

const std::uint8_t* vxMapFile(TvxFileHandle h, std::uint64_t size)
{
    const HANDLE mapping = ::CreateFileMappingW(AsHandle(h), nullptr, PAGE_READONLY, static_cast<DWORD>(size >> 32),
                                                static_cast<DWORD>(size), nullptr);
    if (!mapping) {
        vxSetErrnoFromLastError();
        return nullptr;
    }
    void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size));
    if (!view)
        vxSetErrnoFromLastError();
    ::CloseHandle(mapping); // the view keeps the mapping
    return static_cast<const std::uint8_t*>(view);
}

void vxUnmapFile(const std::uint8_t* data, std::uint64_t) noexcept
{
    ::UnmapViewOfFile(data);
}

namespace {

// Replaces the trailing "XXXXXX" with random letters and digits; false without them.
bool FillPattern(std::string& pattern, std::mt19937_64& random)
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    if (pattern.size() < 6 || pattern.compare(pattern.size() - 6, 6, "XXXXXX") != 0)
        return false;
    for (std::size_t i = pattern.size() - 6; i < pattern.size(); ++i)
        pattern[i] = letters[random() % (sizeof letters - 1)];
    return true;
}

template <typename Make> bool MakeUnique(std::string& pattern, Make make)
{
    std::mt19937_64 random(std::random_device{}() ^ ::GetTickCount64() ^ ::GetCurrentProcessId());
    const std::string original = pattern;
    for (int attempt = 0; attempt < 100; ++attempt) {
        pattern = original;
        if (!FillPattern(pattern, random)) {
            errno = EINVAL;
            return false;
        }
        if (make(pattern))
            return true;
        if (errno != EEXIST)
            break;
    }
    pattern = original;
    return false;
}

} // namespace

TvxFileHandle vxMakeTempFile(std::string& pattern)
{
    TvxFileHandle h = vxNoFileHandle;
    MakeUnique(pattern, [&](const std::string& name) {
        h = vxOpenFile(name, EvxOpenMode::CreateNew);
        return h != vxNoFileHandle;
    });
    return h;
}

bool vxMakeTempDirectory(std::string& pattern)
{
    return MakeUnique(pattern, [](const std::string& name) {
        if (::CreateDirectoryW(vxWide(name).c_str(), nullptr))
            return true;
        vxSetErrnoFromLastError();
        return false;
    });
}

unsigned vxOrdinaryMode(unsigned mode)
{
    return mode;
}

unsigned vxModeForReplacing(const std::string&)
{
    return 0666;
}

void vxSetFileMode(TvxFileHandle, unsigned) {}

void vxSetPathMode(const std::string&, unsigned) {}

} // namespace morvane

#endif
