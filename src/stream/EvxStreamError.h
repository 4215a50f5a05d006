#pragma once
// Exceptions of the stream layer. EvxFilerError (EReadError, EWriteError) comes from the value
// reader and writer; EvxFileStreamError (EFCreateError, EFOpenError) from opening files.
// what() is the runtime's own text; a reader error also carries the byte offset in the stream
// at which reading failed (-1 when unknown).

#include <cstdint>
#include <stdexcept>
#include <string>

namespace morvane {

inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SFCreateError = "Cannot create file %s";
inline constexpr const char* SFOpenError = "Cannot open file %s";

class EvxFilerError : public std::runtime_error
{
public:
    explicit EvxFilerError(const std::string& message, std::int64_t offset = -1)
        : std::runtime_error(message), offset_(offset)
    {
    }
    std::int64_t Offset() const { return offset_; }

private:
    std::int64_t offset_;
};

class EReadError : public EvxFilerError
{
public:
    using EvxFilerError::EvxFilerError;
};

class EWriteError : public EvxFilerError
{
public:
    using EvxFilerError::EvxFilerError;
};

class EvxFileStreamError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class EFCreateError : public EvxFileStreamError
{
public:
    explicit EFCreateError(const std::string& fileName);
};

class EFOpenError : public EvxFileStreamError
{
public:
    explicit EFOpenError(const std::string& fileName);
};

} // namespace morvane
