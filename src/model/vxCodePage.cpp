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

} // namespace

std::string CodePageToUtf8(std::string_view bytes, int codePage, TvxUndefinedBytes undefined)
{
    if (bytes.empty())
        return {};
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
