#include "db/paradox/ParadoxRecordReader.h"

#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxTable.h"
#include "db/paradox/ParadoxValue.h"
#include "model/vxCodePage.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace morvane {

namespace {

constexpr std::size_t WindowBytes = 64 * 1024;
constexpr std::size_t CryptChunk = 256;

bool allZero(const std::uint8_t* p, std::size_t n)
{
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, p + i, 8);
        any |= word;
    }
    for (; i < n; ++i)
        any |= p[i];
    return any == 0;
}

// Each reader's blobs get identities of their own: the reader's number above the place in the
// .MB (the framing in bit 32, as a framed read gives other bytes).
std::uint64_t nextReaderNumber()
{
    static std::atomic<std::uint64_t> readers{0};
    return ++readers;
}

} // namespace

enum class ParadoxRecordReader::Decode : std::uint8_t {
    Alpha,
    Short,
    Long,
    Date,
    Time,
    Double,
    Timestamp,
    Logical,
    Bcd,
    Bytes,
    Blob,
    FramedBlob
};

struct ParadoxRecordReader::Field
{
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::uint32_t leader = 0; // blobs: bytes before the 10-byte tail
    Decode decode = Decode::Bytes;
    std::uint8_t decimals = 0;
    int number = 0;
    const std::string* name = nullptr;
};

ParadoxRecordReader::ParadoxRecordReader(std::unique_ptr<ParadoxByteSource> db, std::unique_ptr<ParadoxByteSource> mb,
                                         std::uint32_t key)
    : db_(std::move(db)), mb_(std::move(mb))
{
    // The common part tells the header's size; then the whole header.
    std::vector<std::uint8_t> head(ParadoxHeader::CommonPartEnd);
    head.resize(db_->ReadAt(0, head.data(), head.size()));
    if (head.size() >= ParadoxHeader::HeaderSize + 2) {
        const std::size_t declared = ParadoxLe16(head.data() + ParadoxHeader::HeaderSize);
        if (declared > head.size()) {
            const std::size_t had = head.size();
            head.resize(declared);
            head.resize(had + db_->ReadAt(had, head.data() + had, declared - had));
        }
    }
    header_ = ParseParadoxHeader(head.data(), head.size(), db_->Size(), db_->Name());
    if (!header_.isTable())
        throw EvxEngineError(vxErrInvalidFile, db_->Name() + ": not a table (file type " +
                                                   std::to_string(static_cast<int>(header_.fileType)) + ")");
    const std::uint32_t tableKey = header_.passwordKey();
    if (tableKey != 0) {
        if (key != tableKey)
            throw EvxEngineError(vxErrPasswordRequired,
                                 db_->Name() + ": the table is protected; a password is required");
        cipher_.emplace(tableKey);
    }

    std::uint32_t offset = 0;
    for (std::size_t i = 0; i < header_.fields.size(); ++i) {
        const ParadoxField& pf = header_.fields[i];
        Field f;
        f.offset = offset;
        f.length = static_cast<std::uint32_t>(pf.length());
        f.number = static_cast<int>(i) + 1;
        f.name = &pf.name;
        switch (pf.type) {
        case pxAlpha:
            f.decode = Decode::Alpha;
            break;
        case pxShort:
            f.decode = Decode::Short;
            break;
        case pxLong:
        case pxAutoInc:
            f.decode = Decode::Long;
            break;
        case pxDate:
            f.decode = Decode::Date;
            break;
        case pxTime:
            f.decode = Decode::Time;
            break;
        case pxNumber:
        case pxMoney:
            f.decode = Decode::Double;
            break;
        case pxTimestamp:
            f.decode = Decode::Timestamp;
            break;
        case pxLogical:
            f.decode = Decode::Logical;
            break;
        case pxBcd:
            f.decode = Decode::Bcd;
            f.decimals = pf.size;
            break;
        case pxGraphic:
        case pxOle:
            f.decode = Decode::FramedBlob;
            break;
        case pxMemo:
        case pxFmtMemo:
        case pxBinary:
            f.decode = Decode::Blob;
            break;
        default:
            f.decode = Decode::Bytes;
            break;
        }
        if (f.decode == Decode::Blob || f.decode == Decode::FramedBlob)
            f.leader = f.length - static_cast<std::uint32_t>(ParadoxBlobTail::Bytes);
        offset += f.length;
        fields_.push_back(f);
    }

    blockBytes_ = std::size_t{header_.blockSizeKb} * ParadoxBlock::BytesPerKb;
    window_.resize(std::max(WindowBytes / blockBytes_, std::size_t{1}) * blockBytes_);
    visited_.assign((std::size_t{header_.fileBlocks} + 1 + 63) / 64, 0);
    nextBlock_ = header_.firstBlock;
}

ParadoxRecordReader::~ParadoxRecordReader() = default;

void ParadoxRecordReader::failStructure(const std::string& what)
{
    failure_.emplace(vxErrInvalidFile, db_->Name() + ": " + what);
    throw *failure_;
}

void ParadoxRecordReader::noteImprecise(const Field& f)
{
    const auto at = static_cast<std::size_t>(f.number - 1);
    if (impreciseNoted_.size() <= at)
        impreciseNoted_.resize(at + 1, false);
    if (impreciseNoted_[at])
        return;
    impreciseNoted_[at] = true;
    notes_.push_back(db_->Name() + ": field " + std::to_string(f.number) + " (" +
                     CodePageToUtf8(*f.name, ParadoxTextCodePage(header_)) +
                     "): imprecise BCD values: digits past the first non-digit (record " + std::to_string(delivered_) +
                     " and others) read as 0");
}

EvxEngineError ParadoxRecordReader::valueFault(const Field& f, const std::string& what) const
{
    return EvxEngineError(vxErrInvalidFile, db_->Name() + ": record " + std::to_string(delivered_) + ", field " +
                                                std::to_string(f.number) + " (" +
                                                CodePageToUtf8(*f.name, ParadoxTextCodePage(header_)) + "): " + what);
}

const std::uint8_t* ParadoxRecordReader::loadBlock(std::uint32_t number, std::size_t& available)
{
    if (number < windowFirst_ || number >= windowFirst_ + windowBlocks_) {
        const std::uint64_t offset = header_.headerSize + std::uint64_t{number - 1} * blockBytes_;
        if (offset >= db_->Size())
            failStructure("block " + std::to_string(number) + " of the chain lies outside the file (" +
                          std::to_string(db_->Size()) + " bytes)");
        // Read ahead along the file, never past the header's last block.
        const std::size_t blocksLeft = header_.fileBlocks - number + 1;
        const std::size_t wanted = std::min(window_.size(), blocksLeft * blockBytes_);
        const std::size_t got = db_->ReadAt(offset, window_.data(), wanted);
        if (got == 0) { // the file shrank since it was opened
            windowBlocks_ = 0;
            failStructure("block " + std::to_string(number) + " of the chain lies outside the file");
        }
        windowFirst_ = number;
        windowBlocks_ = static_cast<std::uint32_t>((got + blockBytes_ - 1) / blockBytes_);
        windowTail_ = got - (windowBlocks_ - 1) * blockBytes_;
        if (cipher_) {
            for (std::uint32_t k = 0; k < windowBlocks_; ++k) {
                const std::size_t bytes = k + 1 < windowBlocks_ ? blockBytes_ : windowTail_;
                cipher_->DecryptDbBlock(window_.data() + k * blockBytes_, bytes, number + k);
            }
            // A cut chunk cannot be decrypted: only whole chunks count.
            windowTail_ -= windowTail_ % CryptChunk;
        }
    }
    const std::uint32_t k = number - windowFirst_;
    available = k + 1 < windowBlocks_ ? blockBytes_ : windowTail_;
    return window_.data() + std::size_t{k} * blockBytes_;
}

bool ParadoxRecordReader::nextBlock()
{
    const std::uint32_t rs = header_.recordSize;
    while (nextBlock_ != 0) {
        const std::uint32_t n = nextBlock_;
        if (n > header_.fileBlocks)
            failStructure("the block chain refers to block " + std::to_string(n) + ", past the " +
                          std::to_string(header_.fileBlocks) + " blocks of the file");
        std::uint64_t& bits = visited_[n / 64];
        const std::uint64_t bit = std::uint64_t{1} << (n % 64);
        if (bits & bit)
            failStructure("the block chain loops: it returns to block " + std::to_string(n));
        bits |= bit;

        std::size_t available = 0;
        const std::uint8_t* block = loadBlock(n, available);
        if (available < ParadoxBlock::HeaderBytes)
            failStructure("block " + std::to_string(n) + " is cut short by the end of the file");
        const auto addDataSize = static_cast<std::int16_t>(ParadoxLe16(block + ParadoxBlock::AddDataSize));
        const std::int64_t used = std::int64_t{addDataSize} + rs;
        const std::uint64_t capacity = (blockBytes_ - ParadoxBlock::HeaderBytes) / rs;
        if (used < 0 || used % rs != 0 || static_cast<std::uint64_t>(used / rs) > capacity)
            failStructure("block " + std::to_string(n) + " declares " + std::to_string(addDataSize) +
                          " bytes of records, not a count of " + std::to_string(rs) + "-byte records it can hold");
        const auto count = static_cast<std::uint32_t>(used / rs);
        if (ParadoxBlock::HeaderBytes + std::uint64_t{count} * rs > available)
            failStructure("block " + std::to_string(n) + " is cut short by the end of the file");
        if (delivered_ + count > header_.numRecords)
            failStructure("the header announces " + std::to_string(header_.numRecords) +
                          " records, the data blocks hold more");
        nextBlock_ = ParadoxLe16(block + ParadoxBlock::Next);
        if (count > 0) {
            blockRecords_ = block + ParadoxBlock::HeaderBytes;
            blockCount_ = count;
            blockIndex_ = 0;
            return true;
        }
    }
    if (delivered_ != header_.numRecords)
        failStructure("the header announces " + std::to_string(header_.numRecords) + " records, the data blocks hold " +
                      std::to_string(delivered_));
    return false;
}

bool ParadoxRecordReader::Next(TvxRecord& record)
{
    if (failure_)
        throw *failure_;
    if (finished_)
        return false;
    if (blockIndex_ >= blockCount_) {
        bool more = false;
        try {
            more = nextBlock();
        } catch (const EvxEngineError& e) {
            if (!failure_) // a read error of the file
                failure_.emplace(e);
            throw;
        }
        if (!more) {
            finished_ = true;
            return false;
        }
    }
    const std::uint8_t* rec = blockRecords_ + std::size_t{blockIndex_} * header_.recordSize;
    ++blockIndex_;
    ++delivered_;
    decode(rec, record);
    return true;
}

// Inlined into decode's loop over the fields: the call costs as much as most fields.
[[gnu::always_inline]] inline void ParadoxRecordReader::decodeField(const Field& f, const std::uint8_t* p, TvxFieldValue& v)
{
    switch (f.decode) {
    case Decode::Alpha: {
        const void* end = std::memchr(p, 0, f.length);
        const std::size_t n = end ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - p) : f.length;
        if (n == 0)
            v.setBlank();
        else
            v.setText(TvxFieldValue::Kind::Bytes, reinterpret_cast<const char*>(p), n);
        break;
    }
    case Decode::Short: {
        const std::uint16_t raw = ParadoxBe16(p);
        if (raw == 0)
            v.setBlank();
        else
            v.setInteger(TvxFieldValue::Kind::Integer, static_cast<std::int16_t>(raw ^ 0x8000u));
        break;
    }
    case Decode::Long:
    case Decode::Date:
    case Decode::Time: {
        const std::uint32_t raw = ParadoxBe32(p);
        const auto kind = f.decode == Decode::Long   ? TvxFieldValue::Kind::Integer
                          : f.decode == Decode::Date ? TvxFieldValue::Kind::Date
                                                     : TvxFieldValue::Kind::Time;
        if (raw == 0)
            v.setBlank();
        else
            v.setInteger(kind, static_cast<std::int32_t>(raw ^ 0x80000000u));
        break;
    }
    case Decode::Double:
    case Decode::Timestamp: {
        const std::uint64_t raw = ParadoxBe64(p);
        if (raw == 0) {
            v.setBlank();
            break;
        }
        const double d = ParadoxDoubleFromBits(raw);
        if (!std::isfinite(d))
            throw valueFault(f, "the number is not finite");
        v.setReal(f.decode == Decode::Double ? TvxFieldValue::Kind::Float : TvxFieldValue::Kind::Timestamp, d);
        break;
    }
    case Decode::Logical:
        if (p[0] == 0)
            v.setBlank();
        else
            v.setInteger(TvxFieldValue::Kind::Logical, (p[0] & 0x7F) != 0 ? 1 : 0);
        break;
    case Decode::Bcd:
        // Byte 0 without its "value present" bit and no digits: blank (what tables written by
        // the engine hold for a blank BCD beside the decimals).
        if (p[0] == 0 || ((p[0] & 0x40) == 0 && allZero(p + 1, 16)))
            v.setBlank();
        else if (bool imprecise = false;
                 !ParadoxBcdToText(p, f.decimals, v.textForWriting(TvxFieldValue::Kind::Bcd), &imprecise))
            throw valueFault(f, "the BCD value is damaged (its digits or its decimals are not those of the field)");
        else if (imprecise)
            noteImprecise(f);
        break;
    case Decode::Bytes:
        if (allZero(p, f.length))
            v.setBlank();
        else
            v.setText(TvxFieldValue::Kind::Bytes, reinterpret_cast<const char*>(p), f.length);
        break;
    case Decode::Blob:
    case Decode::FramedBlob:
        readBlob(f, p, v);
        break;
    }
}

void ParadoxRecordReader::decode(const std::uint8_t* rec, TvxRecord& out)
{
    if (out.size() != fields_.size())
        out.resize(fields_.size());
    std::optional<EvxEngineError> fault;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const Field& f = fields_[i];
        TvxFieldValue& v = out[i];
        try {
            decodeField(f, rec + f.offset, v);
        } catch (const EvxEngineError& e) {
            v.setBlank();
            if (!fault)
                fault = e;
        }
    }
    if (fault)
        throw *fault;
}

void ParadoxRecordReader::readBlob(const Field& f, const std::uint8_t* slot, TvxFieldValue& value)
{
    const std::uint8_t* tail = slot + f.leader;
    const std::uint32_t pointer = ParadoxLe32(tail + ParadoxBlobTail::Offset);
    const std::uint32_t length = ParadoxLe32(tail + ParadoxBlobTail::Length);
    const bool framed = f.decode == Decode::FramedBlob;
    if (length == 0) {
        value.setBlank();
        return;
    }
    if (pointer == 0) {
        // Held by the record alone; a picture or OLE blob's frame is not stored there.
        const std::uint32_t bytes =
            framed ? length - static_cast<std::uint32_t>(ParadoxMbLayout::GraphicPrefixBytes) : length;
        if ((framed && length < ParadoxMbLayout::GraphicPrefixBytes) || bytes > f.leader)
            throw valueFault(f, "a blob of " + std::to_string(length) +
                                    " bytes has no place in the .MB file and does not fit "
                                    "the record's " +
                                    std::to_string(f.leader) + " bytes");
        value.setText(TvxFieldValue::Kind::Bytes, reinterpret_cast<const char*>(slot), bytes);
        return;
    }
    if (!blobs_) {
        if (!mb_)
            throw valueFault(f, "the blob is stored in the table's .MB file, which is missing");
        blobs_ = std::make_unique<ParadoxBlobFile>(std::move(mb_), cipher_ ? cipher_->key() : 0);
        blobIds_ = nextReaderNumber() << 33;
    }
    const std::string where = "blob of record " + std::to_string(delivered_) + ", field " + std::to_string(f.number) +
                              " (" + *f.name + ") in " + db_->Name();
    blobs_->Read(pointer, length, framed, value.textForWriting(TvxFieldValue::Kind::Bytes), where);
    value.setStorageId(blobIds_ | (framed ? std::uint64_t{1} << 32 : 0) | pointer);
}

} // namespace morvane
