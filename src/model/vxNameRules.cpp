#include "model/vxNameRules.h"

#include "model/vxTextCase.h"

namespace morvane {

namespace {

bool deviceName(std::string_view name)
{
    const std::string stem = UpperText(name.substr(0, name.find('.')));
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' && stem[3] <= '9';
}

} // namespace

TvxNameFault TableNameFault(std::string_view name)
{
    if (name.empty())
        return TvxNameFault::Empty;
    if (name.size() > MaxTableNameBytes)
        return TvxNameFault::TooLong;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '/' || c == '\\')
            return TvxNameFault::Separator;
        if (c < 0x20 || c == 0x7F)
            return TvxNameFault::Control;
        if (std::string_view(":*?\"<>|").find(ch) != std::string_view::npos)
            return TvxNameFault::Forbidden;
    }
    if (name == "." || name == "..")
        return TvxNameFault::Dots;
    if (deviceName(name))
        return TvxNameFault::DeviceName;
    if (name.back() == '.' || name.back() == ' ')
        return TvxNameFault::TrailingDot;
    return TvxNameFault::None;
}

TvxNameFault FieldNameFault(std::string_view name)
{
    if (name.empty())
        return TvxNameFault::Empty;
    if (name.size() > MaxFieldNameBytes)
        return TvxNameFault::TooLong;
    for (const char ch : name)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F)
            return TvxNameFault::Control;
    return TvxNameFault::None;
}

std::string NameFaultText(TvxNameFault fault)
{
    switch (fault) {
    case TvxNameFault::None:
        return {};
    case TvxNameFault::Empty:
        return "it is empty";
    case TvxNameFault::TooLong:
        return "it is too long";
    case TvxNameFault::Separator:
        return "it contains a path separator (/ or \\)";
    case TvxNameFault::Forbidden:
        return "it contains one of : * ? \" < > |";
    case TvxNameFault::Control:
        return "it contains a control character";
    case TvxNameFault::Dots:
        return "it is . or ..";
    case TvxNameFault::DeviceName:
        return "it is a reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9)";
    case TvxNameFault::TrailingDot:
        return "it ends in a dot or a space";
    }
    return {};
}

namespace {

std::string Problem(const char* what, std::string_view name, TvxNameFault fault)
{
    if (fault == TvxNameFault::None)
        return {};
    return std::string(what) + " name \"" + std::string(name) + "\" is not allowed: " + NameFaultText(fault);
}

} // namespace

std::string TableNameProblem(std::string_view name)
{
    return Problem("table", name, TableNameFault(name));
}

std::string FieldNameProblem(std::string_view name)
{
    return Problem("field", name, FieldNameFault(name));
}

} // namespace morvane
