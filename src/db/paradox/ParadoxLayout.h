#pragma once
// On-disk layout of the files of a Paradox table family, shared by the reader and the writer:
// header offsets, the data-block header, the .MB blob file, field type codes, file types and
// the little-endian integers of headers. Record values (big-endian, sign bit inverted) are
// the job of ParadoxValue.

#include <cstddef>
#include <cstdint>

namespace morvane {

// Byte 0x04 of every file of a family.
enum class ParadoxFileType : std::uint8_t {
    KeyedTable = 0,           // .DB with a primary key
    PrimaryIndex = 1,         // .PX
    UnkeyedTable = 2,         // .DB without key
    SecondaryX = 3,           // .Xnn, not maintained
    SecondaryY = 4,           // .Ynn
    MaintainedX = 5,          // .Xnn, maintained
    CompositeX = 6,           // .XGn, not maintained
    CompositeY = 7,           // .YGn
    MaintainedCompositeX = 8, // .XGn, maintained
};
inline constexpr std::uint8_t ParadoxMaxFileType = 8;

// Disk type codes of the field-info pairs.
enum ParadoxDiskType : std::uint8_t {
    pxAlpha = 0x01, pxDate = 0x02, pxShort = 0x03, pxLong = 0x04, pxMoney = 0x05, pxNumber = 0x06,
    pxLogical = 0x09, pxMemo = 0x0C, pxBinary = 0x0D, pxFmtMemo = 0x0E, pxOle = 0x0F, pxGraphic = 0x10,
    pxTime = 0x14, pxTimestamp = 0x15, pxAutoInc = 0x16, pxBcd = 0x17, pxBytes = 0x18
};

inline constexpr bool ParadoxIsBlobType(std::uint8_t type)
{
    return type == pxMemo || type == pxBinary || type == pxFmtMemo || type == pxOle || type == pxGraphic;
}

// Header of .DB, .PX, .X* and .Y* files. The common part (0x00-0x57) is in every file; the
// data header (0x58-0x77) only in level 4+ tables and X files; the variable part follows.
namespace ParadoxHeader {
inline constexpr std::size_t RecordSize = 0x00;     // u16
inline constexpr std::size_t HeaderSize = 0x02;     // u16
inline constexpr std::size_t FileType = 0x04;       // u8, ParadoxFileType
inline constexpr std::size_t BlockSizeKb = 0x05;    // u8: block bytes = value * 1024
inline constexpr std::size_t NumRecords = 0x06;     // u32
inline constexpr std::size_t UsedBlocks = 0x0A;     // u16: blocks in the chain
inline constexpr std::size_t FileBlocks = 0x0C;     // u16
inline constexpr std::size_t FirstBlock = 0x0E;     // u16, 1-based, 0 = none
inline constexpr std::size_t LastBlock = 0x10;      // u16
inline constexpr std::size_t Unknown12 = 0x12;      // u16
inline constexpr std::size_t ModifiedFlags1 = 0x14; // u8
inline constexpr std::size_t IndexFieldNumber = 0x15; // u8, X files: first indexed field
inline constexpr std::size_t PrimaryIndexWorkspace = 0x16; // u32 run-time pointer
inline constexpr std::size_t UnknownPointer1A = 0x1A;      // u32 run-time pointer
inline constexpr std::size_t IndexRoot = 0x1E;      // u16, index files
inline constexpr std::size_t IndexLevels = 0x20;    // u8, index files
inline constexpr std::size_t NumFields = 0x21;      // u16
inline constexpr std::size_t PrimaryKeyFields = 0x23; // u16
inline constexpr std::size_t Encryption1 = 0x25;    // u32: key, or EncryptionMarker in level 4+ tables
inline constexpr std::size_t SortOrder = 0x29;      // u8
inline constexpr std::size_t ModifiedFlags2 = 0x2A; // u8
inline constexpr std::size_t ChangeCount1 = 0x2D;   // u8
inline constexpr std::size_t ChangeCount2 = 0x2E;   // u8
inline constexpr std::size_t TableNamePtrPtr = 0x30; // u32 run-time pointer
inline constexpr std::size_t FieldInfoPtr = 0x34;   // u32 run-time pointer
inline constexpr std::size_t WriteProtected = 0x38; // u8
inline constexpr std::size_t FileVersionId = 0x39;  // u8
inline constexpr std::size_t MaxBlocks = 0x3A;      // u16
inline constexpr std::size_t AuxPasswords = 0x3D;   // u8
inline constexpr std::size_t Unknown3E = 0x3E;      // u16: 0x0F1F in unprotected files
inline constexpr std::size_t CryptInfoStart = 0x40; // u32 run-time pointer
inline constexpr std::size_t CryptInfoEnd = 0x44;   // u32 run-time pointer
inline constexpr std::size_t AutoInc = 0x49;        // u32
inline constexpr std::size_t FirstFreeBlock = 0x4D; // u16
inline constexpr std::size_t IndexUpdateRequired = 0x4F; // u8
inline constexpr std::size_t RealHeaderSize = 0x51; // u16
inline constexpr std::size_t Flags55 = 0x55;        // u8: .DB referential integrity, .X* index options
inline constexpr std::size_t Unknown56 = 0x56;      // u8: 0x20 in level 4+ tables and X files
inline constexpr std::size_t CommonPartEnd = 0x58;

inline constexpr std::size_t FileVerId3 = 0x58;     // u16: 0x0100 + fileVersionID
inline constexpr std::size_t FileVerId4 = 0x5A;     // u16: same again
inline constexpr std::size_t Encryption2 = 0x5C;    // u32: key when Encryption1 holds the marker
inline constexpr std::size_t FileUpdateTime = 0x60; // u32
inline constexpr std::size_t HiFieldId = 0x64;      // u16
inline constexpr std::size_t FieldIdsPtr = 0x66;    // u16: field-id array at CommonPartEnd + value
inline constexpr std::size_t IndexNamePtr = 0x68;   // u16: XGn index name at CommonPartEnd + value
inline constexpr std::size_t CodePage = 0x6A;       // u16
inline constexpr std::size_t Unknown6C = 0x6C;      // u8
inline constexpr std::size_t Unknown6D = 0x6D;      // u8
inline constexpr std::size_t LanguageDriverPtr = 0x6E; // u16: LD name at CommonPartEnd + value
inline constexpr std::size_t ChangeCount4 = 0x70;   // u16
inline constexpr std::size_t DataHeaderEnd = 0x78;

inline constexpr std::uint32_t EncryptionMarker = 0xFF00FF00u;
inline constexpr std::size_t NameAreaBytes = 79;        // table-name area before level 7
inline constexpr std::size_t NameAreaBytesLevel7 = 261; // fileVersionID 12
inline constexpr std::size_t MaxFieldNameBytes = 256;   // bound for reading one field name
} // namespace ParadoxHeader

// Byte 0x39: fileVersionID per table level.
namespace ParadoxVersion {
inline constexpr std::uint8_t Level30 = 3;
inline constexpr std::uint8_t Level35 = 4;
inline constexpr std::uint8_t Level4 = 9;
inline constexpr std::uint8_t Level5 = 11;
inline constexpr std::uint8_t Level7 = 12;
inline constexpr std::uint8_t FirstWithDataHeader = 5; // level 4 and later
} // namespace ParadoxVersion

// Data blocks of .DB, .PX, .X* and .Y* files: block n (1-based) starts at
// headerSize + (n - 1) * blockBytes with this 6-byte header, records back to back after it.
namespace ParadoxBlock {
inline constexpr std::size_t Next = 0;        // u16, 0 = end of chain
inline constexpr std::size_t Previous = 2;    // u16, 0 = start of chain
inline constexpr std::size_t AddDataSize = 4; // s16: (records - 1) * recordSize; -recordSize when empty
inline constexpr std::size_t HeaderBytes = 6;
inline constexpr std::size_t BytesPerKb = 1024;
} // namespace ParadoxBlock

// Record slot of a blob field: leader (the blob's first bytes) then this 10-byte tail.
namespace ParadoxBlobTail {
inline constexpr std::size_t Bytes = 10;
inline constexpr std::size_t Offset = 0;   // u32: .MB offset; low byte = slot of a sub-allocated block
inline constexpr std::size_t Length = 4;   // u32: whole blob length
inline constexpr std::size_t ModNumber = 8; // u16
inline constexpr std::uint32_t SlotMask = 0xFF;
inline constexpr std::uint32_t SingleBlobSlot = 0xFF; // slot byte of a blob in a single-blob block
} // namespace ParadoxBlobTail

// .MB file: blocks of 4 KiB (block 0 = header block), each starting with a type byte and a
// u16 count of 4 KiB chunks it spans.
namespace ParadoxMbLayout {
inline constexpr std::size_t ChunkBytes = 0x1000;
inline constexpr std::size_t BlockType = 0;   // u8
inline constexpr std::size_t BlockChunks = 1; // u16
inline constexpr std::uint8_t TypeHeader = 0;
inline constexpr std::uint8_t TypeSingle = 2;   // one blob
inline constexpr std::uint8_t TypeSuballocated = 3; // up to 64 small blobs
inline constexpr std::uint8_t TypeFree = 4;
// Single-blob block: header of 9 bytes, the data follows.
inline constexpr std::size_t SingleLength = 3;    // u32: blob length
inline constexpr std::size_t SingleModNumber = 7; // u16
inline constexpr std::size_t SingleDataAt = 9;
// Sub-allocated block: 12 header bytes, then a table of 64 slots of 5 bytes.
inline constexpr std::size_t SlotTableAt = 12;
inline constexpr std::size_t SlotBytes = 5;
inline constexpr std::size_t SlotCount = 64;
inline constexpr std::size_t SlotDataOffset = 0; // u8: data at block + 16 * value
inline constexpr std::size_t SlotLengthDiv16 = 1; // u8: length rounded up to 16ths
inline constexpr std::size_t SlotModNumber = 2;  // u16
inline constexpr std::size_t SlotLengthMod16 = 4; // u8: length modulo 16
inline constexpr std::size_t SlotDataUnit = 16;
// Graphic blobs carry this many bytes before the picture data.
inline constexpr std::size_t GraphicPrefixBytes = 8;
} // namespace ParadoxMbLayout

// .VAL file (levels 4 and 5): header, check entries from FirstCheck, the referential-integrity
// section and the footer that repeats the table's fields.
namespace ParadoxValLayout {
inline constexpr std::size_t ChangeCount = 0x00;    // u8: the table's ChangeCount2
inline constexpr std::size_t Version = 0x01;        // u8: the table's fileVersionID
inline constexpr std::size_t CheckCount = 0x02;     // u8
inline constexpr std::size_t UpdateTime = 0x03;     // u32: the table's FileUpdateTime
inline constexpr std::size_t HiFieldId = 0x07;      // u8: the table's HiFieldId
inline constexpr std::size_t FooterOffset = 0x09;   // u32
inline constexpr std::size_t RefIntOffset = 0x0D;   // u32, 0 = none
inline constexpr std::size_t FirstCheck = 0x35;
// Check entry: fixed part, then lookup block, minimum, maximum, default, picture.
inline constexpr std::size_t CheckField = 0x00;      // u8, 0-based position
inline constexpr std::size_t CheckPictureLength = 0x01; // u8, with its NUL
inline constexpr std::size_t CheckRequired = 0x02;   // u8
inline constexpr std::size_t CheckLookupOptions = 0x03; // u8
inline constexpr std::size_t CheckHasLookup = 0x04;  // u32 != 0
inline constexpr std::size_t CheckHasMinimum = 0x0C; // u32 != 0
inline constexpr std::size_t CheckHasMaximum = 0x10; // u32 != 0
inline constexpr std::size_t CheckHasDefault = 0x14; // u32 != 0
inline constexpr std::size_t CheckHasPicture = 0x18; // u32 != 0
inline constexpr std::size_t CheckFixedPart = 0x1C;
inline constexpr std::size_t LookupBlock = 0x50;
inline constexpr std::size_t LookupTableName = 0x1A; // bytes of the lookup table's name
// Dependent-side rule record.
inline constexpr std::size_t DependentRecord = 0x1E0;
inline constexpr std::size_t RuleName = 0x000;       // 64 bytes
inline constexpr std::size_t DepIndexName = 0x040;   // 64 bytes
inline constexpr std::size_t DepIndexNumber = 0x0B2; // u8
inline constexpr std::size_t DepMasterTable = 0x0D4; // text up to DepUpdateRule
inline constexpr std::size_t DepUpdateRule = 0x19A;  // u32
inline constexpr std::size_t DepFieldCount = 0x19E;  // u16
inline constexpr std::size_t DepFields = 0x1A0;      // 16 x u16
inline constexpr std::size_t DepMasterFields = 0x1C0; // 16 x u16
inline constexpr std::size_t RuleNameBytes = 64;
// Master side, from the u16 marker after the dependent records.
inline constexpr std::size_t MasterKeyCount = 0x96;  // u16
inline constexpr std::size_t MasterKeyFields = 0x98; // 16 x u16
inline constexpr std::size_t MasterRuleCount = 0xB8; // u16
inline constexpr std::size_t MasterRules = 0xBA;
inline constexpr std::size_t MasterRecord = 0x12A;
inline constexpr std::size_t MasDependentTable = 0x040; // 0x52 bytes
inline constexpr std::size_t MasDependentTableBytes = 0x52;
inline constexpr std::size_t MasIndexName = 0x092;   // 0x72 bytes
inline constexpr std::size_t MasIndexNameBytes = 0x72;
inline constexpr std::size_t MasIndexNumber = 0x104; // u16
inline constexpr std::size_t MasUpdateRule = 0x106;  // u16
inline constexpr std::size_t MasDependentFields = 0x10A; // 16 x u16
inline constexpr int MaxRuleFields = 16;
// Footer: u16 field count, u16 key count, u16 tail size, ids, (type, size) pairs, name area, names.
inline constexpr std::size_t FooterFieldCount = 0;
inline constexpr std::size_t FooterIds = 6;
} // namespace ParadoxValLayout

// Little-endian integers of headers, index entries and blob tails.
inline std::uint16_t ParadoxLe16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ParadoxLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void ParadoxPutLe16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void ParadoxPutLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// ---- What the writer adds: values the format fixes only by what engine files hold ----------

namespace ParadoxHeader {
inline constexpr std::size_t IndexStamp = 0x2C;       // u8: .PX/.Y* the family stamp; 0xFF in X files
inline constexpr std::size_t PrimaryStampCopy = 0x2F; // u8: X files: the .PX's 0x2C
inline constexpr std::size_t HeaderUnit = 0x800;      // header sizes are multiples of it (not level 3.0)
inline constexpr std::uint16_t Unknown3EValue = 0x0F1F; // 0x3E of files of unprotected tables
inline constexpr std::uint8_t Unknown56Value = 0x20;  // 0x56 of level 4+ tables and X files
inline constexpr std::uint8_t XIndexStampValue = 0xFF; // 0x2C of X files
inline constexpr std::size_t Level35NamesTail = 6;    // level 3.5: 0x51 lies this far past the names
inline constexpr std::uint8_t CaseInsensitiveFlag = 0x01; // X 0x55 index options
inline constexpr std::uint8_t DescendingFlag = 0x10;
inline constexpr std::uint8_t UniqueFlag = 0x20;
inline constexpr std::uint8_t StrictRefIntFlag = 0x02; // .DB 0x55
inline constexpr std::uint16_t DescendingFieldId = 0x8000; // X field ids of descending fields
} // namespace ParadoxHeader

// Entries of .PX and .Y* blocks: the key, then three Short-encoded words.
namespace ParadoxIndexEntry {
inline constexpr std::size_t Child = 0;  // after the key: block below (or data block)
inline constexpr std::size_t Count = 2;  // records under it
inline constexpr std::size_t Zero = 4;   // always 0
inline constexpr std::size_t TailBytes = 6;
} // namespace ParadoxIndexEntry

namespace ParadoxMbLayout {
inline constexpr std::size_t HeaderVersion = 0x29;        // u16 of the header block
inline constexpr std::uint16_t HeaderVersionValue = 0x02A1;
inline constexpr std::size_t SuballocateBelow = 0x800;    // blobs shorter than this share blocks
inline constexpr std::size_t FirstSlotData = 0x150;       // data of a sub-allocated block starts here
inline constexpr std::uint8_t FramePicture = 1;           // last byte of a frame's first word
inline constexpr std::uint8_t FrameOle = 2;
inline constexpr std::size_t FrameLength = 4;             // u32 in the frame: the bytes after it
} // namespace ParadoxMbLayout

} // namespace morvane
