#pragma once
// Text conversions at the edges of morvane-cli: table texts (in the table's code page) to
// UTF-8 for printing, and UTF-8 typed on the command line to Windows-1252 for the engine.

#include <string>

#include <iconv.h>

namespace morvane::cli {

// Text of a table's code page to UTF-8; byte sequences the code page does not define become
// U+FFFD, so the result is always valid UTF-8.
class TvxCodePageText
{
public:
    explicit TvxCodePageText(int codePage);
    ~TvxCodePageText();
    TvxCodePageText(const TvxCodePageText&) = delete;
    TvxCodePageText& operator=(const TvxCodePageText&) = delete;

    std::string operator()(const std::string& text) const;

private:
    iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

// Command-line texts are UTF-8; the engine keeps passwords and names as the tables' bytes
// (Windows-1252 for the tables this program meets). Unconvertible text is returned as is.
std::string Utf8ToCp1252(const std::string& text);

bool IsUtf8(const std::string& text);

// Table and file names come from the file system: printed as they are when they are UTF-8
// already, else read in the table's code page (files copied from older systems).
std::string FileSystemName(const std::string& name, const TvxCodePageText& utf8);

} // namespace morvane::cli
