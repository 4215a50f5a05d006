#pragma once
// TvxCodePageConverter: the system's tables of one code page, bytes to UTF-8 and back (iconv on
// POSIX, MultiByteToWideChar/WideCharToMultiByte on Win32). Not thread-safe: one caller at a
// time per converter.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace morvane {

class TvxCodePageConverter
{
public:
    // Appends to out what stands for the input at rest that could not be converted (undefined:
    // the code page defines no such character, rather than a cut or broken sequence) and
    // returns how many bytes of rest that covers (at least one).
    using OnFailure = std::size_t (*)(void* context, std::string_view rest, bool undefined, std::string& out);

    // Null when the system does not know the code page.
    static std::unique_ptr<TvxCodePageConverter> Open(int codePage);
    virtual ~TvxCodePageConverter() = default;

    virtual std::string ToUtf8(std::string_view bytes, OnFailure onFailure, void* context) = 0;
    virtual std::string FromUtf8(std::string_view utf8, OnFailure onFailure, void* context) = 0;
    // Bit b set: byte 0x80+b alone is not a character of the code page.
    std::uint32_t UndefinedC1() const { return undefinedC1_; }

protected:
    std::uint32_t undefinedC1_ = 0;
};

} // namespace morvane
