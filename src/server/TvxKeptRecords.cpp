#include "server/TvxKeptRecords.h"

#include <cstring>
#include <stdexcept>

namespace morvane {

namespace {

// The file holds batches: each its size in bytes (8) and its records. A record: its value count (4 bytes), then each value: its kind (1 byte), its
// storage identity (8), then 8 bytes of number, or a text's length (4) and bytes.
template <class T> void put(std::string& out, T v)
{
    char b[sizeof v];
    std::memcpy(b, &v, sizeof v);
    out.append(b, sizeof v);
}

void encode(const TvxRecord& record, std::string& out)
{
    using Kind = TvxFieldValue::Kind;
    put(out, static_cast<std::uint32_t>(record.size()));
    for (const TvxFieldValue& v : record) {
        put(out, static_cast<std::uint8_t>(v.kind()));
        put(out, v.storageId());
        if (v.kind() == Kind::Float || v.kind() == Kind::Timestamp) {
            put(out, v.real());
        } else if (v.kind() == Kind::Bcd || v.kind() == Kind::Bytes) {
            put(out, static_cast<std::uint32_t>(v.text().size()));
            out += v.text();
        } else {
            put(out, v.integer());
        }
    }
}

[[noreturn]] void fail(const char* what)
{
    throw std::runtime_error(std::string("the records set aside cannot be ") + what + " their temporary file");
}

// The next T of a batch read into memory.
template <class T> T get(const char*& p, const char* end)
{
    T v;
    if (static_cast<std::size_t>(end - p) < sizeof v)
        fail("read from");
    std::memcpy(&v, p, sizeof v);
    p += sizeof v;
    return v;
}

} // namespace

class TvxKeptRecords::TvxReader : public IvxRecordSource
{
public:
    explicit TvxReader(TvxKeptRecords& kept) : kept_(kept)
    {
        if (kept_.file_ && std::fseek(kept_.file_, 0, SEEK_SET) != 0)
            fail("read from");
    }
    bool Next(TvxRecord& record) override
    {
        using Kind = TvxFieldValue::Kind;
        if (read_ < kept_.spilled_) {
            ++read_;
            if (at_ == batch_.size())
                readBatch();
            const char* p = batch_.data() + at_;
            const char* end = batch_.data() + batch_.size();
            record.resize(get<std::uint32_t>(p, end));
            for (TvxFieldValue& v : record) {
                const auto kind = static_cast<Kind>(get<std::uint8_t>(p, end));
                const auto storage = get<std::uint64_t>(p, end);
                if (kind == Kind::Blank) {
                    get<std::int64_t>(p, end);
                    v.setBlank();
                } else if (kind == Kind::Float || kind == Kind::Timestamp) {
                    v.setReal(kind, get<double>(p, end));
                } else if (kind == Kind::Bcd || kind == Kind::Bytes) {
                    const auto size = get<std::uint32_t>(p, end);
                    if (static_cast<std::size_t>(end - p) < size)
                        fail("read from");
                    v.setText(kind, p, size);
                    p += size;
                } else {
                    v.setInteger(kind, get<std::int64_t>(p, end));
                }
                v.setStorageId(storage);
            }
            at_ = static_cast<std::size_t>(p - batch_.data());
            return true;
        }
        const auto held = static_cast<std::size_t>(read_++ - kept_.spilled_);
        if (held >= kept_.held_.size())
            return false;
        record = kept_.held_[held];
        return true;
    }

private:
    void readBatch()
    {
        std::uint64_t bytes = 0;
        if (std::fread(&bytes, sizeof bytes, 1, kept_.file_) != 1 || bytes > std::uint64_t{1} << 40)
            fail("read from");
        batch_.resize(static_cast<std::size_t>(bytes));
        if (std::fread(batch_.data(), 1, batch_.size(), kept_.file_) != batch_.size())
            fail("read from");
        at_ = 0;
    }

    TvxKeptRecords& kept_;
    std::int64_t read_ = 0;
    std::string batch_; // the batch being read, from at_ on
    std::size_t at_ = 0;
};

TvxKeptRecords::~TvxKeptRecords()
{
    if (file_)
        std::fclose(file_);
}

void TvxKeptRecords::Add(const TvxRecord& record)
{
    held_.push_back(record);
    ++count_;
    if (held_.size() >= InMemoryRecords)
        spill();
}

void TvxKeptRecords::spill()
{
    if (!file_ && !(file_ = std::tmpfile()))
        fail("written to");
    encoded_.assign(sizeof(std::uint64_t), '\0'); // the batch's size, then its records
    for (const TvxRecord& r : held_)
        encode(r, encoded_);
    const std::uint64_t bytes = encoded_.size() - sizeof bytes;
    std::memcpy(encoded_.data(), &bytes, sizeof bytes);
    if (std::fwrite(encoded_.data(), 1, encoded_.size(), file_) != encoded_.size())
        fail("written to");
    spilled_ += static_cast<std::int64_t>(held_.size());
    held_.clear();
    encoded_.clear();
    encoded_.shrink_to_fit();
}

std::unique_ptr<IvxRecordSource> TvxKeptRecords::Read()
{
    if (file_ && std::fflush(file_) != 0)
        fail("written to");
    return std::make_unique<TvxReader>(*this);
}

} // namespace morvane
