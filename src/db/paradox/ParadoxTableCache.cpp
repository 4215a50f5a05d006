#include "db/paradox/ParadoxTableCache.h"

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxLayout.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/vxFileIo.h"

namespace morvane {

namespace {

constexpr std::uint64_t MaxValFileBytes = 16u << 20;
constexpr std::uint64_t FirstReadBytes = 0x800;
constexpr std::size_t MaxKeptBufferBytes = 0x10000; // a header's largest size

bool isHexDigit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Xnn and XGn, the digits decimal or hexadecimal; they are not interpreted beyond ordering,
// the X header says what the index holds.
bool isIndexExtension(std::string_view ext, char letter)
{
    if (ext.size() != 3 || std::toupper(static_cast<unsigned char>(ext[0])) != letter)
        return false;
    std::string_view digits = ext.substr(1);
    if (std::toupper(static_cast<unsigned char>(digits[0])) == 'G')
        digits.remove_prefix(1);
    return std::all_of(digits.begin(), digits.end(), isHexDigit);
}

// A file descriptor closed with the object.
class OpenFile
{
public:
    OpenFile(const ParadoxDirectory& dir, const std::string& name) : fd_(dir.openForReading(name))
    {
        if (fd_ == vxNoFileHandle)
            throw EvxEngineError(vxErrNotFound,
                                 dir.pathOf(name) + ": file cannot be opened (" + std::strerror(errno) + ")");
    }
    ~OpenFile() { vxCloseFile(fd_); }
    TvxFileHandle fd() const { return fd_; }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    // Reads up to count bytes from offset into dst; fewer when the file ends first.
    std::size_t readAt(std::uint8_t* dst, std::uint64_t offset, std::size_t count) const
    {
        std::size_t got = 0;
        while (got < count) {
            const std::int64_t n = vxReadAt(fd_, dst + got, count - got, offset + got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        return got;
    }

private:
    TvxFileHandle fd_;
};

std::string_view baseOf(std::string_view name)
{
    return name.substr(0, name.rfind('.'));
}

// Primary first is the caller's; here: single-field indexes by their field, then the
// composite ones by the number of their file.
bool engineOrder(const ParadoxSecondaryIndex& a, const ParadoxSecondaryIndex& b)
{
    if (a.composite != b.composite)
        return !a.composite;
    if (!a.composite)
        return a.keyFields.front() < b.keyFields.front();
    const auto rank = [](int n) { return n < 0 ? 1 << 20 : n; };
    return rank(a.number) < rank(b.number);
}

} // namespace

const std::string& ParadoxTableCache::pathOf(const ParadoxDirectory& dir, std::string_view name)
{
    // One buffer for every file's path: the directory part stays, only the name changes.
    if (path_.size() <= dir.path().size() || path_.compare(0, dir.path().size(), dir.path()) != 0 ||
        path_[dir.path().size()] != '/')
        path_ = dir.path() + '/';
    path_.resize(dir.path().size() + 1);
    path_ += name;
    return path_;
}

std::uint8_t* ParadoxTableCache::bufferOf(std::size_t size)
{
    if (buffer_.size() < size)
        buffer_.resize(std::max<std::size_t>(size, FirstReadBytes));
    return buffer_.data();
}

ParadoxTableHeader ParadoxTableCache::readHeader(const ParadoxDirectory& dir, const std::string& name,
                                                 ParadoxFileStamp& stamp, const ParadoxFileStamp* known)
{
    // Only the start of the header holds what is parsed (fields and names; the rest is free
    // space): first as many bytes as the headers read so far used, the whole header when
    // they are not enough or the start does not parse (the whole header's parse then says
    // what is wrong).
    const OpenFile file(dir, name);
    stamp = known ? *known : dir.stampOpen(file.fd(), name);
    const std::size_t first = static_cast<std::size_t>(std::min<std::uint64_t>(stamp.size, firstRead_));
    std::size_t got = file.readAt(bufferOf(first), 0, first);
    bytesRead_ += got;
    ++parses_;
    if (ParadoxHeaderUsedBytes(buffer_.data(), got) != 0) {
        try {
            return ParseParadoxHeaderStart(buffer_.data(), got, stamp.size, pathOf(dir, name));
        } catch (const EvxEngineError&) {
        }
    }
    if (got >= ParadoxHeader::HeaderSize + 2) {
        const std::uint64_t declared = ParadoxLe16(buffer_.data() + ParadoxHeader::HeaderSize);
        const std::size_t wanted = static_cast<std::size_t>(std::min(declared, stamp.size));
        if (wanted > got) {
            const std::size_t more = file.readAt(bufferOf(wanted) + got, got, wanted - got);
            bytesRead_ += more;
            got += more;
        }
    }
    // The next files of the directory are read as far as this header was used.
    const std::size_t used = ParadoxHeaderUsedBytes(buffer_.data(), got);
    if (used > firstRead_)
        firstRead_ = std::min<std::size_t>((used + 0xFF) & ~std::size_t{0xFF}, FirstReadBytes);
    return ParseParadoxHeader(buffer_.data(), got, stamp.size, pathOf(dir, name));
}

std::size_t ParadoxTableCache::readWhole(const ParadoxDirectory& dir, const std::string& name, ParadoxFileStamp& stamp)
{
    const OpenFile file(dir, name);
    stamp = dir.stampOpen(file.fd(), name);
    if (stamp.size > MaxValFileBytes)
        throw EvxEngineError(vxErrInvalidFile, dir.pathOf(name) + ": validity file of " + std::to_string(stamp.size) +
                                                   " bytes is implausibly large");
    const std::size_t size = static_cast<std::size_t>(stamp.size);
    const std::size_t got = file.readAt(bufferOf(size), 0, size);
    bytesRead_ += got;
    ++parses_;
    return got;
}

std::shared_ptr<const ParadoxTable> ParadoxTableCache::Load(ParadoxDirectory& dir, const std::string& dbFileName,
                                                            const Admit& admit, const ParadoxFileStamp* listedDb)
{
    // The table's companions, found in one look-up of the directory's listing: names[0] is the
    // .DB, then the .PX, the X files that have their Y partner and the .VAL in listing order.
    const std::string_view base = baseOf(dbFileName);
    const std::vector<std::string> family = dir.family(base);
    const auto extOf = [&](const std::string& name) { return std::string_view(name).substr(base.size() + 1); };
    const auto hasExtension = [&](std::string_view ext) {
        return std::any_of(family.begin(), family.end(),
                           [&](const std::string& f) { return ParadoxDirectory::equalNoCase(extOf(f), ext); });
    };

    std::vector<const std::string*> names;
    names.reserve(family.size() + 1);
    names.push_back(&dbFileName);
    std::optional<std::size_t> pxAt;
    std::optional<std::size_t> valAt;
    std::vector<std::size_t> xAt;
    xAt.reserve(family.size());
    for (const std::string& f : family) {
        const std::string_view ext = extOf(f);
        if (!pxAt && ParadoxDirectory::equalNoCase(ext, "PX")) {
            pxAt = names.size();
        } else if (!valAt && ParadoxDirectory::equalNoCase(ext, "VAL")) {
            valAt = names.size();
        } else if (isIndexExtension(ext, 'X')) {
            // An X file without its Y partner is an unfinished index: not listed.
            std::string yExt(ext);
            yExt[0] = 'Y';
            if (!hasExtension(yExt))
                continue;
            xAt.push_back(names.size());
        } else {
            continue;
        }
        names.push_back(&f);
    }

    const auto cached = entries_.find(dbFileName);
    if (cached != entries_.end()) {
        bool same = cached->second.stamps.size() == names.size();
        for (std::size_t i = 0; same && i < names.size(); ++i)
            same = dir.stamp(*names[i]) == cached->second.stamps[i];
        if (same) {
            if (admit)
                admit(cached->second.table->header);
            return cached->second.table;
        }
    }

    // Each file is opened once: its stamp comes from the open descriptor.
    std::vector<ParadoxFileStamp> stamps(names.size());
    auto table = std::make_shared<ParadoxTable>();
    if (listedDb && listedDb->name == dbFileName) {
        // A header that does not fit the listed size may have changed since: looked at again.
        try {
            table->header = readHeader(dir, dbFileName, stamps[0], listedDb);
        } catch (const EvxEngineError&) {
            table->header = readHeader(dir, dbFileName, stamps[0]);
        }
    } else {
        table->header = readHeader(dir, dbFileName, stamps[0]);
    }
    const ParadoxTableHeader& h = table->header;
    if (!h.isTable())
        throw EvxEngineError(vxErrInvalidFile, dir.pathOf(dbFileName) + ": not a table (file type " +
                                                   std::to_string(static_cast<int>(h.fileType)) + ")");
    if (admit)
        admit(h);

    if (pxAt && h.primaryKeyFields > 0) {
        const std::string& px = *names[*pxAt];
        ParadoxTableHeader pi = readHeader(dir, px, stamps[*pxAt]);
        if (pi.fileType != ParadoxFileType::PrimaryIndex || pi.numFields != h.primaryKeyFields)
            throw EvxEngineError(vxErrInvalidFile, dir.pathOf(px) + ": primary index does not match its table (" +
                                                       std::to_string(pi.numFields) + " key fields, table " +
                                                       std::to_string(h.primaryKeyFields) + ")");
        table->primaryIndex = std::move(pi);
    } else if (pxAt) {
        stamps[*pxAt] = dir.stamp(*names[*pxAt]); // kept only to notice a change
    }

    table->secondaryIndexes.reserve(xAt.size());
    for (std::size_t at : xAt) {
        const std::string& x = *names[at];
        const ParadoxTableHeader xh = readHeader(dir, x, stamps[at]);
        if (!xh.isSecondaryX())
            continue; // a stray file with an index-like name
        table->secondaryIndexes.push_back(ReadParadoxSecondaryIndex(xh, h, std::string(extOf(x)), pathOf(dir, x)));
    }
    std::stable_sort(table->secondaryIndexes.begin(), table->secondaryIndexes.end(), engineOrder);

    if (valAt) {
        const std::string& val = *names[*valAt];
        const std::size_t size = readWhole(dir, val, stamps[*valAt]);
        const auto dropLarge = [&] {
            if (buffer_.size() > MaxKeptBufferBytes)
                std::vector<std::uint8_t>().swap(buffer_); // a large .VAL's bytes are not kept
        };
        try {
            table->val = ParseParadoxValFile(buffer_.data(), size, h, pathOf(dir, val));
        } catch (...) {
            dropLarge();
            throw;
        }
        dropLarge();
    }

    entries_[dbFileName] = Entry{std::move(stamps), table};
    return table;
}

} // namespace morvane
