// The POSIX side of TvxCodePageConverter: iconv, under the names it may know a Paradox/Windows
// code page by.
#ifndef _WIN32

#include <cerrno>
#include <iconv.h>
#include <vector>

#include "platform/TvxCodePageConverter.h"

namespace morvane {

namespace {

const iconv_t noDescriptor = reinterpret_cast<iconv_t>(-1);

// The usual name first.
std::vector<std::string> IconvNames(int codePage)
{
    switch (codePage) {
    case 932:
        return {"CP932", "SHIFT_JIS"};
    case 936:
        return {"CP936", "GBK"};
    case 949:
        return {"CP949", "UHC"};
    case 950:
        return {"CP950", "BIG5"};
    case 65001:
        return {"UTF-8"};
    default:
        return {"CP" + std::to_string(codePage)};
    }
}

// Runs iconv over the whole input, from its initial state.
std::string Convert(iconv_t cd, std::string_view input, std::size_t reserve, TvxCodePageConverter::OnFailure onFailure,
                    void* context)
{
    std::string out;
    out.reserve(reserve);
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(input.data()); // iconv's signature; it never writes the input
    std::size_t srcLeft = input.size();
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        std::size_t dstLeft = sizeof buf;
        const std::size_t r = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        const int error = errno;
        out.append(buf, static_cast<std::size_t>(dst - buf));
        if (r != static_cast<std::size_t>(-1) || error == E2BIG)
            continue;
        const std::size_t skip = onFailure(context, std::string_view(src, srcLeft), error == EILSEQ, out);
        src += skip;
        srcLeft -= skip;
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

class TvxIconvConverter : public TvxCodePageConverter
{
public:
    TvxIconvConverter(iconv_t toUtf8, iconv_t fromUtf8) : toUtf8_(toUtf8), fromUtf8_(fromUtf8)
    {
        for (unsigned b = 0; b < 32; ++b) {
            char in = static_cast<char>(0x80 + b);
            char out[8];
            char* src = &in;
            char* dst = out;
            std::size_t srcLeft = 1;
            std::size_t dstLeft = sizeof out;
            if (::iconv(toUtf8_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) && errno == EILSEQ)
                undefinedC1_ |= 1u << b;
            ::iconv(toUtf8_, nullptr, nullptr, nullptr, nullptr);
        }
    }
    ~TvxIconvConverter() override
    {
        ::iconv_close(toUtf8_);
        ::iconv_close(fromUtf8_);
    }

    std::string ToUtf8(std::string_view bytes, OnFailure onFailure, void* context) override
    {
        return Convert(toUtf8_, bytes, bytes.size() + bytes.size() / 2, onFailure, context);
    }
    std::string FromUtf8(std::string_view utf8, OnFailure onFailure, void* context) override
    {
        return Convert(fromUtf8_, utf8, utf8.size(), onFailure, context);
    }

private:
    iconv_t toUtf8_;
    iconv_t fromUtf8_;
};

} // namespace

std::unique_ptr<TvxCodePageConverter> TvxCodePageConverter::Open(int codePage)
{
    for (const std::string& name : IconvNames(codePage)) {
        const iconv_t toUtf8 = ::iconv_open("UTF-8", name.c_str());
        if (toUtf8 == noDescriptor)
            continue;
        const iconv_t fromUtf8 = ::iconv_open(name.c_str(), "UTF-8");
        if (fromUtf8 != noDescriptor)
            return std::make_unique<TvxIconvConverter>(toUtf8, fromUtf8);
        ::iconv_close(toUtf8);
    }
    return nullptr;
}

} // namespace morvane

#endif
