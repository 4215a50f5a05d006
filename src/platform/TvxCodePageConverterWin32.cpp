// The Win32 side of TvxCodePageConverter: MultiByteToWideChar and WideCharToMultiByte, the
// whole text at once and, where that fails, one character at a time to find what fails.
#ifdef _WIN32

#include "platform/TvxCodePageConverter.h"
#include "platform/vxWin32.h"

namespace morvane {

namespace {

class TvxWin32Converter : public TvxCodePageConverter
{
public:
    explicit TvxWin32Converter(UINT codePage) : codePage_(codePage)
    {
        // Windows gives the bytes its ANSI code pages leave undefined as the C1 control of the
        // same value; they are undefined all the same.
        const bool ansi = codePage_ == 874 || (codePage_ >= 1250 && codePage_ <= 1258);
        for (unsigned b = 0; b < 32; ++b) {
            const char in = static_cast<char>(0x80 + b);
            wchar_t w = 0;
            const bool decoded = Decode(std::string_view(&in, 1), &w, 1) > 0;
            if ((!decoded && !::IsDBCSLeadByteEx(codePage_, static_cast<BYTE>(in))) ||
                (decoded && ansi && w == static_cast<wchar_t>(0x80 + b)))
                undefinedC1_ |= 1u << b;
        }
    }

    std::string ToUtf8(std::string_view bytes, OnFailure onFailure, void* context) override
    {
        std::wstring wide(bytes.size(), L'\0');
        int n = HasUndefinedC1(bytes) ? 0 : Decode(bytes, wide.data(), static_cast<int>(wide.size()));
        if (n > 0 || bytes.empty()) {
            wide.resize(static_cast<std::size_t>(n));
            return vxUtf8(wide);
        }
        std::string out;
        out.reserve(bytes.size() + bytes.size() / 2);
        for (std::size_t i = 0; i < bytes.size();) {
            const std::size_t len =
                codePage_ != CP_UTF8 && ::IsDBCSLeadByteEx(codePage_, static_cast<BYTE>(bytes[i])) ? 2 : 1;
            wchar_t w[2];
            const std::string_view one = bytes.substr(i, len);
            n = one.size() == len && !(len == 1 && HasUndefinedC1(one)) ? Decode(one, w, 2) : 0;
            if (n > 0) {
                out += vxUtf8(std::wstring_view(w, static_cast<std::size_t>(n)));
                i += len;
            } else {
                i += onFailure(context, bytes.substr(i), one.size() == len, out);
            }
        }
        return out;
    }

    std::string FromUtf8(std::string_view utf8, OnFailure onFailure, void* context) override
    {
        std::string out;
        if (Encode(vxWide(utf8), out) && vxUtf8(vxWide(utf8)) == utf8)
            return out;
        out.clear();
        for (std::size_t i = 0; i < utf8.size();) {
            std::size_t len = 1;
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c >= 0xF0)
                len = 4;
            else if (c >= 0xE0)
                len = 3;
            else if (c >= 0xC0)
                len = 2;
            const std::string_view one = utf8.substr(i, len);
            const std::wstring w = vxWide(one);
            std::string bytes;
            if (one.size() == len && vxUtf8(w) == one && Encode(w, bytes)) {
                out += bytes;
                i += len;
            } else {
                i += onFailure(context, utf8.substr(i), true, out);
            }
        }
        return out;
    }

private:
    // A byte the code page leaves undefined alone (where it may also end a double-byte
    // character, the slow way then looks at characters one by one).
    bool HasUndefinedC1(std::string_view bytes) const
    {
        if (undefinedC1_ == 0)
            return false;
        for (const char c : bytes) {
            const auto b = static_cast<unsigned char>(c);
            if (b >= 0x80 && b <= 0x9F && (undefinedC1_ >> (b - 0x80) & 1u) != 0)
                return true;
        }
        return false;
    }

    int Decode(std::string_view bytes, wchar_t* out, int room) const
    {
        return ::MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), out,
                                     room);
    }

    // False when a character has no byte sequence of the code page.
    bool Encode(const std::wstring& wide, std::string& out) const
    {
        if (wide.empty())
            return true;
        BOOL usedDefault = FALSE;
        const bool utf8 = codePage_ == CP_UTF8;
        const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
        const int n = ::WideCharToMultiByte(codePage_, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                            nullptr, utf8 ? nullptr : &usedDefault);
        if (n <= 0 || usedDefault)
            return false;
        const std::size_t at = out.size();
        out.resize(at + static_cast<std::size_t>(n));
        ::WideCharToMultiByte(codePage_, flags, wide.data(), static_cast<int>(wide.size()), out.data() + at, n, nullptr,
                              nullptr);
        return true;
    }

    UINT codePage_;
};

} // namespace

std::unique_ptr<TvxCodePageConverter> TvxCodePageConverter::Open(int codePage)
{
    CPINFO info{};
    if (codePage <= 0 || !::GetCPInfo(static_cast<UINT>(codePage), &info))
        return nullptr;
    return std::make_unique<TvxWin32Converter>(static_cast<UINT>(codePage));
}

} // namespace morvane

#endif
