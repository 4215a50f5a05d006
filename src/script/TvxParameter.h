#pragma once
// TvxParameter: one parameter of a script command. Its value is empty (a fresh parameter), a
// 32-bit integer, a single-byte string or, only when read from a file that carries one, a
// double. WriteTo writes exactly one value (empty and double as the empty string); ReadFrom
// reads exactly one and throws the reader's errors at the end of the stream.

#include <cstdint>
#include <string>
#include <variant>

namespace morvane {

class TWriter;
class TReader;

using TvxValue = std::variant<std::monostate, std::int32_t, std::string, double>;

class TvxParameter
{
public:
    TvxParameter() = default;
    explicit TvxParameter(TvxValue value) : value_(std::move(value)) {}
    TvxParameter(const TvxParameter&) = default;
    TvxParameter(TvxParameter&&) noexcept = default;
    TvxParameter& operator=(const TvxParameter&) = default;
    TvxParameter& operator=(TvxParameter&&) noexcept = default;
    virtual ~TvxParameter() = default;

    const TvxValue& Value() const { return value_; }
    void SetValue(TvxValue value) { value_ = std::move(value); }

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
    bool IsInteger() const { return std::holds_alternative<std::int32_t>(value_); }
    bool IsString() const { return std::holds_alternative<std::string>(value_); }

    // The integer; 0 for every other kind.
    std::int32_t AsInteger() const;
    // An integer as decimal text, a string unchanged, anything else empty.
    std::string AsText() const;

    // Values compare as variants do: numbers numerically; a string against a number by its
    // numeric reading (unequal when it has none); the empty value equals "" and 0.
    virtual bool IsEqual(const TvxParameter& other) const;

    void WriteTo(TWriter& writer) const;
    // Tags 2-4 give an integer, 5 a double, 6 and 12 a string; any other tag is consumed and
    // leaves the parameter empty.
    void ReadFrom(TReader& reader);

private:
    TvxValue value_;
};

} // namespace morvane
