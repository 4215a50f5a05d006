#pragma once
// TvxCommand: one script command, a kind and an ordered list of parameters that it owns.
// Parameter positions beyond the last read as the empty value (ParamText "", ParamInteger 0)
// and setting a value there does nothing. ReadFrom throws the reader's errors; a command that
// failed half-way must not be used. The meaning of every position per kind is named in
// vxCommandParams.h.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/TvxFieldDesc.h"
#include "script/TvxCommandKind.h"
#include "script/TvxParameter.h"
#include "script/vxCommandParams.h"

namespace morvane {

// The label the program shows for a kind code; empty for 11 and for codes outside 0..11.
std::string CommandKindLabel(int kind);

// The five values of a field block (FieldBlockItem): name, number, type, size (units2 for BCD,
// otherwise units1), length.
std::vector<TvxValue> FieldBlockValues(const TvxFieldDesc& field);

class TvxCommand;
// The field as the block from position first on records it: a zeroed record with its name,
// number, type, size (into units2 for BCD, units1 otherwise) and length. This is the record a
// new table holds for every field a command created, changed or moved, both while editing and
// when a document is opened.
TvxFieldDesc FieldFromBlock(const TvxCommand& command, int first);

class TvxCommand
{
public:
    TvxCommand() = default;
    TvxCommand(std::uint8_t kind, std::initializer_list<TvxValue> values);
    TvxCommand(std::uint8_t kind, const std::vector<TvxValue>& values);
    virtual ~TvxCommand() = default;
    TvxCommand(const TvxCommand&) = delete;
    TvxCommand& operator=(const TvxCommand&) = delete;

    std::unique_ptr<TvxCommand> Clone() const;

    std::uint8_t Kind() const { return kind_; }
    void SetKind(std::uint8_t kind) { kind_ = kind; }
    std::string Label() const { return CommandKindLabel(kind_); }

    int ParamCount() const { return static_cast<int>(params_.size()); }
    // nullptr when i is negative or at or beyond ParamCount.
    TvxParameter* Param(int i);
    const TvxParameter* Param(int i) const;
    std::string ParamText(int i) const;
    std::int32_t ParamInteger(int i) const;
    // Does nothing when i is beyond the last parameter.
    void SetParamValue(int i, TvxValue value);

    void AddParam(std::unique_ptr<TvxParameter> param);
    void AddValues(const std::vector<TvxValue>& values);
    void AddFieldBlock(const TvxFieldDesc& field);
    // Overwrites the five parameters from position first on (only those that exist).
    void SetFieldBlock(int first, const TvxFieldDesc& field);
    void TruncateParams(int n);

    virtual bool IsEqual(const TvxCommand& other) const;

    // Kind, count, then every parameter's value.
    void WriteTo(TWriter& writer) const;
    // Appends the parameters read to those the command holds (a fresh command has none). A
    // count above what the kind holds (MaxParamsOf) throws EReadError before any parameter is
    // read.
    void ReadFrom(TReader& reader);

private:
    std::uint8_t kind_ = ckNone;
    // Held by value: a parameter costs its value and nothing more.
    std::vector<TvxParameter> params_;
};

// The tables a command read from a file names become files: a name TableNameFault refuses (a
// hostile "../x") throws EReadError at `at`, before anything is built or written for it.
void CheckCommandTableNames(const TvxCommand& command, std::int64_t at);

} // namespace morvane
