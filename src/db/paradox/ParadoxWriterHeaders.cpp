#include "db/paradox/ParadoxWriterHeaders.h"

#include "db/paradox/ParadoxLayout.h"

#include <cstring>

namespace morvane {

namespace {

namespace H = ParadoxHeader;


std::size_t nameAreaBytes(std::uint8_t fileVersion)
{
    return fileVersion >= ParadoxVersion::Level7 ? H::NameAreaBytesLevel7 : H::NameAreaBytes;
}

class Out
{
public:
    explicit Out(std::size_t size) : b_(size, 0) {}
    void u8(std::size_t at, std::uint8_t v) { b_[at] = v; }
    void u16(std::size_t at, std::uint16_t v) { ParadoxPutLe16(&b_[at], v); }
    void u32(std::size_t at, std::uint32_t v) { ParadoxPutLe32(&b_[at], v); }
    // Text then its NUL (or the NUL only); returns the offset past it.
    std::size_t asciiz(std::size_t at, const std::string& s)
    {
        std::memcpy(&b_[at], s.data(), s.size());
        return at + s.size() + 1;
    }
    // Text in a fixed area, always NUL-terminated.
    void area(std::size_t at, const std::string& s, std::size_t width)
    {
        std::memcpy(&b_[at], s.data(), std::min(s.size(), width - 1));
    }
    void counts(const ParadoxBlockCounts& c)
    {
        u32(H::NumRecords, c.records);
        u16(H::UsedBlocks, c.blocks);
        u16(H::FileBlocks, c.blocks);
        u16(H::FirstBlock, c.first);
        u16(H::LastBlock, c.last);
        u16(H::MaxBlocks, c.blocks);
    }
    std::vector<std::uint8_t>& bytes() { return b_; }

private:
    std::vector<std::uint8_t> b_;
};

// Offsets of the variable part of a table image.
struct TableParts
{
    std::size_t names = 0;    // first field name
    std::size_t ids = 0;      // field-id array (level 4+)
    std::size_t driver = 0;   // language-driver name
    std::size_t index = 0;    // index name
    std::size_t end = 0;      // past the last part
};

TableParts tableParts(const ParadoxTableImage& t)
{
    const std::size_t n = t.fields.size();
    TableParts p;
    p.names = (t.hasDataHeader() ? H::DataHeaderEnd : H::CommonPartEnd) + 2 * n + 4 + 4 * n +
              nameAreaBytes(t.fileVersion);
    std::size_t at = p.names;
    for (const auto& f : t.fields)
        at += f.name.size() + 1;
    if (!t.hasDataHeader()) {
        p.end = at;
        return p;
    }
    p.ids = at;
    p.driver = p.ids + 2 * n;
    p.index = p.driver + t.languageDriver.size() + 1;
    p.end = t.hasIndexName ? p.index + t.indexName.size() + 1 : p.index;
    return p;
}

} // namespace

std::uint16_t ParadoxTableImage::recordSize() const
{
    int size = 0;
    for (const auto& f : fields)
        size += f.length();
    return static_cast<std::uint16_t>(size);
}

std::uint16_t ParadoxTableImage::headerSize() const
{
    const std::size_t end = tableParts(*this).end;
    if (fileVersion == ParadoxVersion::Level30)
        return static_cast<std::uint16_t>(end);
    return static_cast<std::uint16_t>((end + (fileVersion == ParadoxVersion::Level35 ? H::Level35NamesTail : 0) +
                                       H::HeaderUnit - 1) / H::HeaderUnit * H::HeaderUnit);
}

std::vector<std::uint8_t> ParadoxTableImage::build() const
{
    const TableParts parts = tableParts(*this);
    Out o(headerSize());
    o.u16(H::RecordSize, recordSize());
    o.u16(H::HeaderSize, headerSize());
    o.u8(H::FileType, fileType);
    o.u8(H::BlockSizeKb, blockSizeKb);
    o.counts(counts);
    o.u16(H::Unknown12, unknown12);
    o.u8(H::IndexFieldNumber, indexFieldNumber);
    o.u16(H::NumFields, static_cast<std::uint16_t>(fields.size()));
    o.u16(H::PrimaryKeyFields, keyFields);
    o.u32(H::Encryption1, hasDataHeader() ? H::EncryptionMarker : passwordKey);
    o.u8(H::SortOrder, sortOrder);
    for (std::size_t i = 0; i < stamps.size(); ++i)
        o.u8(H::IndexStamp + i, stamps[i]);
    o.u8(H::WriteProtected, writeProtected);
    o.u8(H::FileVersionId, fileVersion);
    o.u16(H::Unknown3E, unknown3EZero ? 0 : H::Unknown3EValue);
    o.u32(H::AutoInc, autoInc);
    o.u8(H::Flags55, flags55);

    std::size_t at = hasDataHeader() ? H::DataHeaderEnd : H::CommonPartEnd;
    for (const auto& f : fields) {
        o.u8(at++, f.type);
        o.u8(at++, f.size);
    }
    o.area(parts.names - nameAreaBytes(fileVersion), nameArea, nameAreaBytes(fileVersion));
    at = parts.names;
    for (const auto& f : fields)
        at = o.asciiz(at, f.name);

    if (!hasDataHeader()) {
        if (fileVersion == ParadoxVersion::Level35)
            o.u16(H::RealHeaderSize, static_cast<std::uint16_t>(parts.end + H::Level35NamesTail));
        return std::move(o.bytes());
    }
    o.u16(H::RealHeaderSize, static_cast<std::uint16_t>(parts.end));
    o.u8(H::Unknown56, H::Unknown56Value);
    const auto version = static_cast<std::uint16_t>(0x0100 + fileVersion);
    o.u16(H::FileVerId3, version);
    o.u16(H::FileVerId4, version);
    o.u32(H::Encryption2, passwordKey);
    o.u32(H::FileUpdateTime, updateTime);
    o.u16(H::HiFieldId, hiFieldId);
    o.u16(H::FieldIdsPtr, static_cast<std::uint16_t>(parts.ids - H::CommonPartEnd));
    if (hasIndexName)
        o.u16(H::IndexNamePtr, static_cast<std::uint16_t>(parts.index - H::CommonPartEnd));
    o.u16(H::CodePage, codePage);
    o.u8(H::Unknown6C, unknown6C);
    o.u8(H::Unknown6D, unknown6D);
    o.u16(H::LanguageDriverPtr, static_cast<std::uint16_t>(parts.driver - H::CommonPartEnd));
    o.u16(H::ChangeCount4, changeCount4);
    for (std::size_t i = 0; i < unknown72.size(); ++i)
        o.u8(0x72 + i, unknown72[i]);
    at = parts.ids;
    for (const auto& f : fields) {
        o.u16(at, f.id);
        at += 2;
    }
    o.asciiz(parts.driver, languageDriver);
    if (hasIndexName)
        o.asciiz(parts.index, indexName);
    return std::move(o.bytes());
}

std::uint16_t ParadoxTreeImage::recordSize() const
{
    int size = 6;
    for (const auto& f : keyFields)
        size += f.length();
    return static_cast<std::uint16_t>(size);
}

std::vector<std::uint8_t> ParadoxTreeImage::build() const
{
    Out o(headerSize());
    o.u16(H::RecordSize, recordSize());
    o.u16(H::HeaderSize, headerSize());
    o.u8(H::FileType, fileType);
    o.u8(H::BlockSizeKb, blockSizeKb);
    o.counts(counts);
    o.u16(H::Unknown12, unknown12);
    o.u16(H::IndexRoot, root);
    o.u8(H::IndexLevels, levels);
    o.u16(H::NumFields, static_cast<std::uint16_t>(keyFields.size()));
    o.u8(H::SortOrder, sortOrder);
    o.u8(H::IndexStamp, stamp);
    o.u8(H::FileVersionId, fileVersion);
    o.u32(H::AutoInc, counter49);
    std::size_t at = H::CommonPartEnd;
    for (const auto& f : keyFields) {
        o.u8(at++, f.type);
        o.u8(at++, f.size);
    }
    at += 4;
    o.area(at, nameArea, nameAreaBytes(fileVersion));
    o.u16(H::RealHeaderSize, static_cast<std::uint16_t>(at + nameAreaBytes(fileVersion)));
    return std::move(o.bytes());
}

} // namespace morvane
