#include "db/paradox/ParadoxTableHeader.h"

#include <algorithm>
#include <cstring>

#include "db/paradox/ParadoxBytes.h"
#include "model/vxFieldTypes.h"

namespace morvane {

namespace {

namespace H = ParadoxHeader;

// Fixed record length of a disk type, 0 for the sized ones, -1 for an unknown code.
int fixedLength(std::uint8_t type)
{
    switch (type) {
    case pxAlpha: case pxMemo: case pxBinary: case pxFmtMemo: case pxOle: case pxGraphic: case pxBytes:
        return 0;
    case pxDate: case pxLong: case pxTime: case pxAutoInc:
        return 4;
    case pxShort:
        return 2;
    case pxMoney: case pxNumber: case pxTimestamp:
        return 8;
    case pxLogical:
        return 1;
    case pxBcd:
        return 17;
    default:
        return -1;
    }
}

std::string fieldLabel(std::size_t i, const ParadoxField& f)
{
    std::string s = "field " + std::to_string(i + 1);
    if (!f.name.empty())
        s += " (" + f.name + ")";
    return s;
}

void checkField(const ParadoxBytes& b, std::size_t i, const ParadoxField& f)
{
    const int fixed = fixedLength(f.type);
    if (fixed < 0)
        b.fail("field " + std::to_string(i + 1) + " has the unknown type code " + std::to_string(f.type));
    if (f.type == pxBcd) {
        b.require(f.size <= 32,
                  [&] { return fieldLabel(i, f) + ": BCD with " + std::to_string(f.size) + " decimals (at most 32)"; });
    } else if (ParadoxIsBlobType(f.type)) {
        b.require(f.size >= ParadoxBlobTail::Bytes, [&] {
            return fieldLabel(i, f) + ": blob field of " + std::to_string(f.size) + " bytes (at least 10)";
        });
    } else if (fixed == 0) {
        b.require(f.size >= 1, [&] { return fieldLabel(i, f) + ": size 0"; });
    } else {
        b.require(f.size == fixed, [&] {
            return fieldLabel(i, f) + ": size " + std::to_string(f.size) + " where the type has " +
                   std::to_string(fixed);
        });
    }
}

bool validBlockSize(std::uint8_t kb)
{
    return kb == 1 || kb == 2 || kb == 3 || kb == 4 || kb == 8 || kb == 16 || kb == 32;
}

} // namespace

int ParadoxField::length() const
{
    const int fixed = fixedLength(type);
    return fixed > 0 ? fixed : size;
}

int ParadoxField::engineType() const
{
    switch (type) {
    case pxAlpha: return fldAlpha;
    case pxNumber: return fldNumber;
    case pxMoney: return fldMoney;
    case pxDate: return fldDate;
    case pxShort: return fldShort;
    case pxMemo: return fldMemo;
    case pxBinary: return fldBinary;
    case pxFmtMemo: return fldFmtMemo;
    case pxOle: return fldOle;
    case pxGraphic: return fldGraphic;
    case pxLong: return fldLong;
    case pxTime: return fldTime;
    case pxTimestamp: return fldTimestamp;
    case pxLogical: return fldLogical;
    case pxAutoInc: return fldAutoInc;
    case pxBytes: return fldBytes;
    case pxBcd: return fldBcd;
    default: return 0;
    }
}

int ParadoxField::units1() const
{
    if (type == pxAlpha || type == pxBytes)
        return size;
    if (ParadoxIsBlobType(type))
        return size - static_cast<int>(ParadoxBlobTail::Bytes);
    if (type == pxBcd)
        return 32;
    return 0;
}

int ParadoxField::units2() const
{
    return type == pxBcd ? size : 0;
}

int ParadoxTableHeader::tableLevel() const
{
    if (fileVersionId <= 4)
        return 3;
    if (fileVersionId <= 9)
        return 4;
    if (fileVersionId <= 11)
        return 5;
    return 7;
}

std::uint32_t ParadoxTableHeader::passwordKey() const
{
    if (fileVersionId >= ParadoxVersion::FirstWithDataHeader && isTable() && encryption1 == H::EncryptionMarker)
        return encryption2;
    return encryption1;
}

std::size_t ParadoxHeaderUsedBytes(const std::uint8_t* data, std::size_t size)
{
    // The walk of the parse below over the same bytes, without its checks.
    if (size < H::CommonPartEnd)
        return 0;
    const std::size_t numFields = ParadoxLe16(data + H::NumFields);
    const std::uint8_t version = data[H::FileVersionId];
    const auto type = static_cast<ParadoxFileType>(data[H::FileType]);
    ParadoxTableHeader probe;
    probe.fileType = type;
    const bool names = probe.hasNames();
    const bool dataHeader = version >= ParadoxVersion::FirstWithDataHeader && (probe.isTable() || probe.isSecondaryX());
    std::size_t pos = (dataHeader ? H::DataHeaderEnd : H::CommonPartEnd) + 2 * numFields + 4 +
                      (names ? 4 * numFields : 0) +
                      (version >= ParadoxVersion::Level7 ? H::NameAreaBytesLevel7 : H::NameAreaBytes);
    const auto skipText = [&] {
        if (pos >= size)
            return false;
        const void* zero = std::memchr(data + pos, 0, std::min(H::MaxFieldNameBytes, size - pos));
        if (!zero)
            return false;
        pos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - data) + 1;
        return true;
    };
    if (names)
        for (std::size_t i = 0; i < numFields; ++i)
            if (!skipText())
                return 0;
    if (dataHeader) {
        pos += 2 * numFields;
        if (!skipText() || (probe.isSecondaryX() && !skipText()))
            return 0;
    }
    return pos <= size ? pos : 0;
}

namespace {

// wholeHeader: data holds the whole declared header (else only its first bytes, which the
// parse must not read past).
ParadoxTableHeader parseHeader(const std::uint8_t* data, std::size_t size, std::uint64_t fileSize,
                               const std::string& fileName, bool wholeHeader)
{
    const ParadoxBytes file(data, size, fileName);
    file.require(size >= H::CommonPartEnd, [&] {
        return "header truncated: " + std::to_string(size) + " bytes where at least " + std::to_string(H::CommonPartEnd) +
               " are needed";
    });

    ParadoxTableHeader h;
    h.recordSize = file.u16(H::RecordSize);
    h.headerSize = file.u16(H::HeaderSize);
    const std::uint8_t fileType = file.u8(H::FileType);
    h.blockSizeKb = file.u8(H::BlockSizeKb);
    h.numRecords = file.u32(H::NumRecords);
    h.fileBlocks = file.u16(H::FileBlocks);
    h.firstBlock = file.u16(H::FirstBlock);
    h.lastBlock = file.u16(H::LastBlock);
    h.indexFieldNumber = file.u8(H::IndexFieldNumber);
    h.numFields = file.u16(H::NumFields);
    h.primaryKeyFields = file.u16(H::PrimaryKeyFields);
    h.encryption1 = file.u32(H::Encryption1);
    h.sortOrder = file.u8(H::SortOrder);
    h.changeCount1 = file.u8(H::ChangeCount1);
    h.changeCount2 = file.u8(H::ChangeCount2);
    h.writeProtected = file.u8(H::WriteProtected);
    h.fileVersionId = file.u8(H::FileVersionId);
    h.auxPasswords = file.u8(H::AuxPasswords);
    h.autoInc = file.u32(H::AutoInc);
    h.realHeaderSize = file.u16(H::RealHeaderSize);
    h.flags55 = file.u8(H::Flags55);

    file.require(fileType <= ParadoxMaxFileType, [&] { return "unknown file type " + std::to_string(fileType); });
    h.fileType = static_cast<ParadoxFileType>(fileType);
    file.require(h.fileVersionId >= 3 && h.fileVersionId <= 12,
                 [&] { return "unknown file version " + std::to_string(h.fileVersionId); });
    file.require(h.numFields >= 1 && h.numFields <= 255,
                 [&] { return "field count " + std::to_string(h.numFields) + " out of range (1-255)"; });
    file.require(h.recordSize >= 1, "record size 0");
    file.require(validBlockSize(h.blockSizeKb),
                 [&] { return "unknown block size code " + std::to_string(h.blockSizeKb); });
    file.require(h.primaryKeyFields <= h.numFields, [&] {
        return "key field count " + std::to_string(h.primaryKeyFields) + " exceeds the field count " +
               std::to_string(h.numFields);
    });

    h.hasDataHeader = h.fileVersionId >= ParadoxVersion::FirstWithDataHeader && (h.isTable() || h.isSecondaryX());
    const std::size_t fixedEnd = h.hasDataHeader ? H::DataHeaderEnd : H::CommonPartEnd;
    file.require(h.headerSize >= fixedEnd,
                 [&] { return "header size " + std::to_string(h.headerSize) + " is too small"; });
    file.require(h.headerSize <= fileSize, [&] {
        return "header size " + std::to_string(h.headerSize) + " exceeds the file size " + std::to_string(fileSize);
    });
    file.require(!wholeHeader || h.headerSize <= size, [&] {
        return "header truncated: " + std::to_string(size) + " of " + std::to_string(h.headerSize) + " bytes present";
    });

    // From here on every read stays inside the declared header (and the bytes present).
    const ParadoxBytes hdr(data, std::min<std::size_t>(h.headerSize, size), fileName);
    if (h.hasDataHeader) {
        h.encryption2 = hdr.u32(H::Encryption2);
        h.fileUpdateTime = hdr.u32(H::FileUpdateTime);
        h.hiFieldId = hdr.u16(H::HiFieldId);
        h.codePage = hdr.u16(H::CodePage);
        h.changeCount4 = hdr.u16(H::ChangeCount4);
    }

    std::size_t pos = fixedEnd;
    h.fields.resize(h.numFields);
    for (auto& f : h.fields) {
        f.type = hdr.u8(pos);
        f.size = hdr.u8(pos + 1);
        pos += 2;
    }
    pos += 4; // table-name pointer
    if (h.hasNames())
        pos += 4 * static_cast<std::size_t>(h.numFields); // field-name pointers
    const std::size_t nameArea =
        h.fileVersionId >= ParadoxVersion::Level7 ? H::NameAreaBytesLevel7 : H::NameAreaBytes;
    h.storedTableName = hdr.fixedText(pos, nameArea);
    pos += nameArea;
    if (h.hasNames()) {
        for (auto& f : h.fields)
            f.name = hdr.asciiz(pos, H::MaxFieldNameBytes, &pos);
    }
    if (h.hasDataHeader) {
        const std::size_t idsAt = pos;
        for (auto& f : h.fields) {
            f.id = hdr.u16(pos);
            pos += 2;
        }
        const std::size_t ldAt = pos;
        h.languageDriver = hdr.asciiz(pos, H::MaxFieldNameBytes, &pos);
        const std::size_t ldEnd = pos;
        if (h.isSecondaryX())
            h.indexName = hdr.asciiz(pos, H::MaxFieldNameBytes, &pos);
        h.pointersAgree = H::CommonPartEnd + hdr.u16(H::FieldIdsPtr) == idsAt && H::CommonPartEnd + hdr.u16(H::LanguageDriverPtr) == ldAt &&
                          (!h.isTable() || h.realHeaderSize == ldEnd);
    }

    int lengthSum = 0;
    for (std::size_t i = 0; i < h.fields.size(); ++i) {
        checkField(file, i, h.fields[i]);
        lengthSum += h.fields[i].length();
    }
    const int expectedRecord = (h.isTable() || h.isSecondaryX()) ? lengthSum : lengthSum + static_cast<int>(ParadoxBlock::HeaderBytes);
    file.require(h.recordSize == expectedRecord, [&] { return "record size " + std::to_string(h.recordSize) +
                                                     " does not match the fields (" + std::to_string(expectedRecord) +
                                                     " bytes)"; });

    // Data blocks: counts must fit in the file (the last block may be cut short).
    const std::uint64_t blockBytes = std::uint64_t{h.blockSizeKb} * ParadoxBlock::BytesPerKb;
    file.require(h.recordSize <= blockBytes - ParadoxBlock::HeaderBytes, [&] {
        return "record size " + std::to_string(h.recordSize) + " larger than a block of " + std::to_string(blockBytes) +
               " bytes";
    });
    file.require(h.firstBlock <= h.fileBlocks && h.lastBlock <= h.fileBlocks, [&] {
        return "block chain refers to block " + std::to_string(std::max(h.firstBlock, h.lastBlock)) + " of " +
               std::to_string(h.fileBlocks);
    });
    if (h.fileBlocks > 0)
        file.require(h.headerSize + (h.fileBlocks - 1) * blockBytes < fileSize, [&] {
            return std::to_string(h.fileBlocks) + " data blocks do not fit in a file of " + std::to_string(fileSize) +
                   " bytes";
        });
    const std::uint64_t capacity = std::uint64_t{h.fileBlocks} * ((blockBytes - ParadoxBlock::HeaderBytes) / h.recordSize);
    file.require(h.numRecords <= capacity, [&] {
        return "record count " + std::to_string(h.numRecords) + " exceeds what " + std::to_string(h.fileBlocks) +
               " blocks can hold";
    });
    return h;
}

} // namespace

ParadoxTableHeader ParseParadoxHeader(const std::uint8_t* data, std::size_t size, std::uint64_t fileSize,
                                      const std::string& fileName)
{
    return parseHeader(data, size, fileSize, fileName, true);
}

ParadoxTableHeader ParseParadoxHeaderStart(const std::uint8_t* data, std::size_t size, std::uint64_t fileSize,
                                           const std::string& fileName)
{
    return parseHeader(data, size, fileSize, fileName, false);
}

} // namespace morvane
