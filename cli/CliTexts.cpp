#include "CliTexts.h"

#include <cerrno>

namespace morvane::cli {

namespace {

const iconv_t noConversion = reinterpret_cast<iconv_t>(-1);
const char* const replacement = "\xEF\xBF\xBD"; // U+FFFD

} // namespace

TvxCodePageText::TvxCodePageText(int codePage)
{
    const std::string name = "CP" + std::to_string(codePage > 0 ? codePage : 1252);
    cd_ = iconv_open("UTF-8", name.c_str());
    if (cd_ == noConversion)
        cd_ = iconv_open("UTF-8", "CP1252");
}

TvxCodePageText::~TvxCodePageText()
{
    if (cd_ != noConversion)
        iconv_close(cd_);
}

// The whole text goes through iconv at once, so characters of several bytes (code page 936)
// convert too.
std::string TvxCodePageText::operator()(const std::string& text) const
{
    std::string out;
    if (cd_ == noConversion) {
        for (char c : text)
            out += static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : std::string(replacement);
        return out;
    }
    std::string in = text;
    char* src = in.data();
    std::size_t srcLeft = in.size();
    char buf[256];
    while (srcLeft > 0) {
        char* dst = buf;
        std::size_t dstLeft = sizeof buf;
        const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, static_cast<std::size_t>(dst - buf));
        if (r == std::size_t(-1) && errno != E2BIG) {
            out += replacement;
            ++src;
            --srcLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return out;
}

std::string Utf8ToCp1252(const std::string& text)
{
    iconv_t cd = iconv_open("CP1252", "UTF-8");
    if (cd == noConversion)
        return text;
    std::string in = text;
    std::string out(text.size() + 1, '\0');
    char* inp = in.data();
    char* outp = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    const bool ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != std::size_t(-1);
    iconv_close(cd);
    if (!ok)
        return text;
    out.resize(out.size() - outLeft);
    return out;
}

bool IsUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || (n > 1 && c < 0xC2) || i + n > text.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

std::string FileSystemName(const std::string& name, const TvxCodePageText& utf8)
{
    return IsUtf8(name) ? name : utf8(name);
}

} // namespace morvane::cli
