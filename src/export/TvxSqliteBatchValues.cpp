#include "export/TvxSqliteBatchValues.h"

#include "model/vxFieldTypes.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "export/vxExportValues.h"

namespace morvane {

namespace {

constexpr std::size_t MaxCopiedBytes = 256;
// Converted texts kept beyond this from a batch of long memos are given back before the next.
constexpr std::size_t KeptTextBytes = std::size_t{16} << 20;

bool isAscii(const std::string& bytes)
{
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; p != end; ++p)
        if (static_cast<unsigned char>(*p) >= 0x80)
            return false;
    return true;
}

} // namespace

void TvxSqliteBatchValues::Prepare(const TvxRecord* records, std::size_t count, const std::vector<int>& types,
                                   int codePage)
{
    using Kind = TvxFieldValue::Kind;
    using Out = TvxSqliteValue::Kind;
    width_ = types.size();
    values_.resize(count * width_);
    if (texts_.capacity() > KeptTextBytes)
        std::string().swap(texts_);
    texts_.clear();
    madeAt_.clear();
    // A text made here is first placed by its offset, as the buffer may move while it grows.
    const auto made = [&](TvxSqliteValue& out, std::size_t offset, Out kind = Out::Text) {
        out.kind = kind;
        out.data = nullptr;
        out.size = static_cast<std::uint32_t>(std::min<std::size_t>(texts_.size() - offset, UINT32_MAX));
        madeAt_.push_back(offset);
    };
    const auto temporal = [&](TvxSqliteValue& out, const TvxFieldValue& v) {
        const std::size_t offset = texts_.size();
        texts_.resize(offset + TemporalTextSize);
        char* buf = texts_.data() + offset;
        std::size_t n = 0;
        if (v.kind() == Kind::Date)
            n = WriteDateText(buf, static_cast<std::int32_t>(v.integer()));
        else if (v.kind() == Kind::Time)
            n = WriteTimeText(buf, static_cast<std::int32_t>(v.integer()));
        else
            n = WriteTimestampText(buf, v.real());
        texts_.resize(offset + n);
        made(out, offset);
    };
    // Short values are copied beside the others, so that SQLite's thread reads a batch's
    // bytes in one run rather than from every record; long ones are taken where they are.
    const auto view = [&](TvxSqliteValue& out, Out kind, const std::string& bytes) {
        if (bytes.size() <= MaxCopiedBytes) {
            const std::size_t offset = texts_.size();
            texts_ += bytes;
            made(out, offset, kind);
            return;
        }
        out.kind = kind;
        out.data = bytes.data();
        // Past 4 GiB, a size SQLite refuses as too big rather than a value cut short.
        out.size = static_cast<std::uint32_t>(std::min<std::size_t>(bytes.size(), UINT32_MAX));
    };

    for (std::size_t r = 0; r < count; ++r) {
        const TvxRecord& record = records[r];
        TvxSqliteValue* out = values_.data() + r * width_;
        for (std::size_t i = 0; i < width_; ++i) {
            if (i >= record.size()) {
                out[i].kind = Out::Null;
                continue;
            }
            const TvxFieldValue& v = record[i];
            switch (v.kind()) {
            case Kind::Blank:
                out[i].kind = Out::Null;
                break;
            case Kind::Integer:
            case Kind::Logical:
                out[i].kind = Out::Integer;
                out[i].integer = v.integer();
                break;
            case Kind::Float:
                out[i].kind = Out::Real;
                out[i].real = v.real();
                break;
            case Kind::Bcd:
                view(out[i], Out::Text, v.text());
                break;
            case Kind::Bytes:
                if (IsExportBinaryType(types[i])) {
                    view(out[i], Out::Blob, v.text());
                } else if (isAscii(v.text())) {
                    view(out[i], Out::Text, v.text());
                } else {
                    const std::size_t offset = texts_.size();
                    std::string text = ExportText(v.text(), codePage);
                    if (texts_.empty() && text.size() > texts_.capacity())
                        texts_ = std::move(text); // a long memo is not copied a second time
                    else
                        texts_ += text;
                    made(out[i], offset);
                }
                break;
            case Kind::Date:
            case Kind::Time:
            case Kind::Timestamp:
                temporal(out[i], v);
                break;
            }
        }
    }
    if (madeAt_.empty())
        return;
    std::size_t next = 0;
    for (auto& v : values_)
        if ((v.kind == Out::Text || v.kind == Out::Blob) && !v.data)
            v.data = texts_.data() + madeAt_[next++];
}

} // namespace morvane
