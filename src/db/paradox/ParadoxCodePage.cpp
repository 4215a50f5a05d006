#include "db/paradox/ParadoxCodePage.h"

#include <cerrno>
#include <iconv.h>

namespace morvane {

namespace {

std::string iconvName(int codePage)
{
    return "CP" + std::to_string(codePage);
}

std::string convert(std::string_view text, const std::string& from, const std::string& to)
{
    iconv_t cd = ::iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(text);

    std::string out;
    std::string in(text);
    char* src = in.data();
    std::size_t srcLeft = in.size();
    char buf[256];
    while (srcLeft > 0) {
        char* dst = buf;
        std::size_t dstLeft = sizeof buf;
        const std::size_t r = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, static_cast<std::size_t>(dst - buf));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // A character the target cannot hold, or a byte the source does not define.
            out.push_back('?');
            ++src;
            --srcLeft;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    ::iconv_close(cd);
    return out;
}

} // namespace

std::string Utf8ToCodePage(std::string_view text, int toCodePage)
{
    if (text.empty() || toCodePage <= 0)
        return std::string(text);
    return convert(text, "UTF-8", iconvName(toCodePage));
}

} // namespace morvane
