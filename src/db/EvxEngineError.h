#pragma once
// Engine failure: a list of (code, message), the first being the main one.

#include <stdexcept>
#include <string>
#include <vector>

namespace morvane {

inline constexpr int vxErrEndOfData = 8706;
inline constexpr int vxErrPasswordRequired = 10498;
inline constexpr int vxErrInvalidFile = 12033;   // damaged or unreadable table file
inline constexpr int vxErrNotFound = 10024;      // file or table not found
inline constexpr int vxErrUnknownAlias = 10019;
inline constexpr int vxErrConfig = 10243;        // alias configuration unreadable
inline constexpr int vxErrDirectory = 10050;     // directory not found
inline constexpr int vxErrUnknownDriver = 10051; // driver named by an alias or parameters not available

struct TvxEngineErrorItem
{
    int code = 0;
    std::string message;
};

class EvxEngineError : public std::runtime_error
{
public:
    explicit EvxEngineError(std::vector<TvxEngineErrorItem> errors);
    EvxEngineError(int code, const std::string& message);
    int Code() const { return errors_.empty() ? 0 : errors_.front().code; }
    const std::vector<TvxEngineErrorItem>& Errors() const { return errors_; }

private:
    std::vector<TvxEngineErrorItem> errors_;
};

} // namespace morvane
