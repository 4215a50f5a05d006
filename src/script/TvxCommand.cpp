#include "script/TvxCommand.h"

#include "model/vxFieldTypes.h"
#include "model/vxNameRules.h"
#include "script/vxCommandParams.h"
#include "script/vxScriptLimits.h"
#include "stream/EvxStreamError.h"
#include "stream/TReader.h"
#include "stream/TWriter.h"

#include <array>

namespace morvane {

std::string CommandKindLabel(int kind)
{
    static const std::array<const char*, 12> labels = {"Add alias",    "Add new alias", "Create table", "Delete table",
                                                       "Change table", "Add table",     "Create field", "Change field",
                                                       "Delete field", "Move field",    "Add password", ""};
    if (kind < 0 || kind >= static_cast<int>(labels.size()))
        return {};
    return labels[static_cast<std::size_t>(kind)];
}

std::vector<TvxValue> FieldBlockValues(const TvxFieldDesc& field)
{
    const int size = field.type() == fldBcd ? field.units2() : field.units1();
    return {field.name(), static_cast<std::int32_t>(field.fieldNumber()), static_cast<std::int32_t>(field.type()),
            static_cast<std::int32_t>(size), static_cast<std::int32_t>(field.length())};
}

TvxFieldDesc FieldFromBlock(const TvxCommand& c, int first)
{
    TvxFieldDesc f;
    f.setName(c.ParamText(first + FieldBlockItem::Name));
    f.setFieldNumber(c.ParamInteger(first + FieldBlockItem::Number));
    f.setType(c.ParamInteger(first + FieldBlockItem::Type));
    if (f.type() == fldBcd)
        f.setUnits2(c.ParamInteger(first + FieldBlockItem::Size));
    else
        f.setUnits1(c.ParamInteger(first + FieldBlockItem::Size));
    f.setLength(c.ParamInteger(first + FieldBlockItem::Length));
    return f;
}

TvxCommand::TvxCommand(std::uint8_t kind, std::initializer_list<TvxValue> values) : kind_(kind)
{
    for (const auto& v : values)
        params_.emplace_back(v);
}

TvxCommand::TvxCommand(std::uint8_t kind, const std::vector<TvxValue>& values) : kind_(kind)
{
    AddValues(values);
}

std::unique_ptr<TvxCommand> TvxCommand::Clone() const
{
    auto copy = std::make_unique<TvxCommand>();
    copy->kind_ = kind_;
    copy->params_ = params_;
    return copy;
}

TvxParameter* TvxCommand::Param(int i)
{
    return i >= 0 && i < ParamCount() ? &params_[static_cast<std::size_t>(i)] : nullptr;
}

const TvxParameter* TvxCommand::Param(int i) const
{
    return i >= 0 && i < ParamCount() ? &params_[static_cast<std::size_t>(i)] : nullptr;
}

std::string TvxCommand::ParamText(int i) const
{
    const TvxParameter* p = Param(i);
    return p ? p->AsText() : std::string();
}

std::int32_t TvxCommand::ParamInteger(int i) const
{
    const TvxParameter* p = Param(i);
    return p ? p->AsInteger() : 0;
}

void TvxCommand::SetParamValue(int i, TvxValue value)
{
    if (TvxParameter* p = Param(i))
        p->SetValue(std::move(value));
}

void TvxCommand::AddParam(std::unique_ptr<TvxParameter> param)
{
    if (param)
        params_.push_back(std::move(*param));
}

void TvxCommand::AddValues(const std::vector<TvxValue>& values)
{
    params_.reserve(params_.size() + values.size());
    for (const auto& v : values)
        params_.emplace_back(v);
}

void TvxCommand::AddFieldBlock(const TvxFieldDesc& field)
{
    AddValues(FieldBlockValues(field));
}

void TvxCommand::SetFieldBlock(int first, const TvxFieldDesc& field)
{
    const auto values = FieldBlockValues(field);
    for (int k = 0; k < FieldBlockItem::Count; ++k)
        SetParamValue(first + k, values[static_cast<std::size_t>(k)]);
}

void TvxCommand::TruncateParams(int n)
{
    if (n < 0)
        n = 0;
    if (n < ParamCount())
        params_.resize(static_cast<std::size_t>(n));
}

bool TvxCommand::IsEqual(const TvxCommand& other) const
{
    if (kind_ != other.kind_ || params_.size() != other.params_.size())
        return false;
    for (std::size_t i = 0; i < params_.size(); ++i)
        if (!params_[i].IsEqual(other.params_[i]))
            return false;
    return true;
}

void TvxCommand::WriteTo(TWriter& writer) const
{
    writer.PutInteger(kind_);
    writer.PutInteger(ParamCount());
    for (const auto& p : params_)
        p.WriteTo(writer);
}

void TvxCommand::ReadFrom(TReader& reader)
{
    kind_ = static_cast<std::uint8_t>(reader.GetInteger() & 0xFF);
    const std::int64_t countAt = reader.Position();
    const std::int32_t n = reader.GetInteger();
    // No command of a real script holds more parameters than its kind has: a larger count is
    // refused before anything is built for it.
    if (n > MaxParamsOf(kind_))
        reader.FailAt(STooManyParams, countAt);
    if (n > 0)
        params_.reserve(params_.size() + static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        TvxParameter p;
        p.ReadFrom(reader);
        params_.push_back(std::move(p));
    }
}

void CheckCommandTableNames(const TvxCommand& command, std::int64_t at)
{
    const std::uint8_t kind = command.Kind();
    if (kind < ckCreateTable || kind > ckMoveField)
        return;
    for (const std::string& name : {command.ParamText(0), kind == ckChangeTable
                                                               ? command.ParamText(ChangeTableParam::NewName)
                                                               : std::string()})
        if (const std::string problem = name.empty() ? std::string() : TableNameProblem(name); !problem.empty())
            throw EReadError(problem, at);
}

} // namespace morvane
