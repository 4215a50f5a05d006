#include "model/vxCodePage.h"

#include <cerrno>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/TvxCodePageConverter.h"

namespace morvane {

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD"; // U+FFFD

// The converter of one code page (null when the system has none), used only under the
// cache's lock.
struct TvxCodePageConv
{
    std::unique_ptr<TvxCodePageConverter> converter;

    bool IsUndefinedC1(char32_t c) const
    {
        return c >= 0x80 && c <= 0x9F && (converter->UndefinedC1() >> (c - 0x80) & 1u) != 0;
    }
};

bool Open(TvxCodePageConv& conv, int codePage)
{
    conv.converter = TvxCodePageConverter::Open(codePage);
    return conv.converter != nullptr;
}

class TvxCodePageCache
{
public:
    // The converter of a code page, Windows-1252's for one the system does not know. Call under Lock().
    TvxCodePageConv& Get(int codePage)
    {
        if (codePage <= 0)
            codePage = vxNewTableCodePage;
        const auto found = byCodePage_.find(codePage);
        if (found != byCodePage_.end())
            return *found->second;
        auto conv = std::make_unique<TvxCodePageConv>();
        TvxCodePageConv* result = nullptr;
        if (Open(*conv, codePage) || codePage == vxNewTableCodePage) {
            result = conv.get();
            owned_.push_back(std::move(conv));
        } else {
            result = &Get(vxNewTableCodePage);
        }
        byCodePage_.emplace(codePage, result);
        return *result;
    }

    std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }

private:
    std::mutex mutex_;
    std::map<int, TvxCodePageConv*> byCodePage_;
    std::vector<std::unique_ptr<TvxCodePageConv>> owned_;
};

TvxCodePageCache& Cache()
{
    static TvxCodePageCache cache;
    return cache;
}

// Length of the well-formed UTF-8 sequence at text[i] and its code point, or 0.
std::size_t Utf8Sequence(std::string_view text, std::size_t i, char32_t& cp)
{
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t n = 0;
    char32_t min = 0;
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    if ((c & 0xE0) == 0xC0) {
        n = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - i < n)
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto t = static_cast<unsigned char>(text[i + k]);
        if ((t & 0xC0) != 0x80)
            return 0;
        cp = cp << 6 | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

// HP Roman-8 0xA0-0xFF (0x80-0x9F are the C1 controls; 0 marks 0xFF, which it leaves undefined).
constexpr char16_t roman8High[96] = {
    0x00A0, 0x00C0, 0x00C2, 0x00C8, 0x00CA, 0x00CB, 0x00CE, 0x00CF, 0x00B4, 0x02CB, 0x02C6, 0x00A8, 0x02DC, 0x00D9,
    0x00DB, 0x20A4, 0x00AF, 0x00DD, 0x00FD, 0x00B0, 0x00C7, 0x00E7, 0x00D1, 0x00F1, 0x00A1, 0x00BF, 0x00A4, 0x00A3,
    0x00A5, 0x00A7, 0x0192, 0x00A2, 0x00E2, 0x00EA, 0x00F4, 0x00FB, 0x00E1, 0x00E9, 0x00F3, 0x00FA, 0x00E0, 0x00E8,
    0x00F2, 0x00F9, 0x00E4, 0x00EB, 0x00F6, 0x00FC, 0x00C5, 0x00EE, 0x00D8, 0x00C6, 0x00E5, 0x00ED, 0x00F8, 0x00E6,
    0x00C4, 0x00EC, 0x00D6, 0x00DC, 0x00C9, 0x00EF, 0x00DF, 0x00D4, 0x00C1, 0x00C3, 0x00E3, 0x00D0, 0x00F0, 0x00CD,
    0x00CC, 0x00D3, 0x00D2, 0x00D5, 0x00F5, 0x0160, 0x0161, 0x00DA, 0x0178, 0x00FF, 0x00DE, 0x00FE, 0x00B7, 0x00B5,
    0x00B6, 0x00BE, 0x2014, 0x00BC, 0x00BD, 0x00AA, 0x00BA, 0x00AB, 0x25A0, 0x00BB, 0x00B1, 0x0000,
};

char32_t Roman8ToUnicode(unsigned char b)
{
    return b < 0xA0 ? b : roman8High[b - 0xA0];
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string Roman8ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char c : bytes) {
        const char32_t cp = Roman8ToUnicode(static_cast<unsigned char>(c));
        if (cp == 0 && c != 0)
            out.append(replacement);
        else
            AppendUtf8(out, cp);
    }
    return out;
}

std::string Utf8ToRoman8(std::string_view utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        const std::size_t n = Utf8Sequence(utf8, i, cp);
        i += n == 0 ? 1 : n;
        char b = '?';
        if (n != 0 && cp < 0xA0)
            b = static_cast<char>(cp);
        else if (n != 0)
            for (unsigned k = 0; k < 96; ++k)
                if (roman8High[k] == cp && cp != 0)
                    b = static_cast<char>(0xA0 + k);
        out.push_back(b);
    }
    return out;
}

} // namespace

std::string CodePageToUtf8(std::string_view bytes, int codePage, TvxUndefinedBytes undefined)
{
    if (bytes.empty())
        return {};
    if (codePage == vxRoman8CodePage)
        return Roman8ToUtf8(bytes);
    TvxCodePageCache& cache = Cache();
    const auto lock = cache.Lock();
    const TvxCodePageConv& conv = cache.Get(codePage);
    if (!conv.converter) {
        std::string out;
        for (char c : bytes)
            if (static_cast<unsigned char>(c) < 0x80)
                out.push_back(c);
            else
                out.append(replacement);
        return out;
    }
    struct Context
    {
        const TvxCodePageConv& conv;
        TvxUndefinedBytes undefined;
    } context{conv, undefined};
    return conv.converter->ToUtf8(
        bytes,
        [](void* c, std::string_view rest, bool undefinedSequence, std::string& out) -> std::size_t {
            const auto& [conv, undefined] = *static_cast<const Context*>(c);
            const auto b = static_cast<unsigned char>(rest.front());
            if (undefined == TvxUndefinedBytes::AsControls && undefinedSequence && conv.IsUndefinedC1(b)) {
                out.push_back('\xC2');
                out.push_back(static_cast<char>(b));
            } else {
                out.append(replacement);
            }
            return 1;
        },
        &context);
}

std::string Utf8ToCodePage(std::string_view utf8, int codePage)
{
    if (utf8.empty())
        return {};
    if (codePage == vxRoman8CodePage)
        return Utf8ToRoman8(utf8);
    TvxCodePageCache& cache = Cache();
    const auto lock = cache.Lock();
    const TvxCodePageConv& conv = cache.Get(codePage);
    if (!conv.converter) {
        std::string out;
        for (std::size_t i = 0; i < utf8.size();) {
            char32_t cp = 0;
            const std::size_t n = Utf8Sequence(utf8, i, cp);
            out.push_back(n == 1 ? static_cast<char>(cp) : '?');
            i += n == 0 ? 1 : n;
        }
        return out;
    }
    return conv.converter->FromUtf8(
        utf8,
        [](void* c, std::string_view rest, bool, std::string& out) -> std::size_t {
            const auto& conv = *static_cast<const TvxCodePageConv*>(c);
            char32_t cp = 0;
            const std::size_t n = Utf8Sequence(rest, 0, cp);
            out.push_back(n != 0 && conv.IsUndefinedC1(cp) ? static_cast<char>(cp) : '?');
            return n == 0 ? 1 : n;
        },
        const_cast<TvxCodePageConv*>(&conv));
}

bool IsUtf8(std::string_view text)
{
    char32_t cp = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8Sequence(text, i, cp);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

} // namespace morvane
