#include "script/cpvxScriptLoader.h"

#include "script/vxScriptLimits.h"
#include "stream/TReader.h"
#include "stream/TWriter.h"

namespace morvane {

TvxDBScriptLoader::~TvxDBScriptLoader()
{
    try {
        Clear();
    } catch (...) {
        // The engine could not remove an alias; the commands are released all the same.
    }
}

TvxCommand* TvxDBScriptLoader::Command(int i)
{
    return i >= 0 && i < Count() ? commands_[static_cast<std::size_t>(i)].get() : nullptr;
}

const TvxCommand* TvxDBScriptLoader::Command(int i) const
{
    return i >= 0 && i < Count() ? commands_[static_cast<std::size_t>(i)].get() : nullptr;
}

void TvxDBScriptLoader::Clear()
{
    std::size_t done = 0;
    try {
        for (; done < commands_.size(); ++done) {
            const TvxCommand& command = *commands_[done];
            if (OnDeleteAlias && command.ParamText(AliasParam::AliasName).empty()) {
                if (command.Kind() == ckAddAlias)
                    OnDeleteAlias(vxSourceAlias);
                else if (command.Kind() == ckAddNewAlias)
                    OnDeleteAlias(vxTargetAlias);
            }
            commands_[done].reset();
        }
    } catch (...) {
        commands_.erase(commands_.begin(), commands_.begin() + static_cast<std::ptrdiff_t>(done));
        throw;
    }
    commands_.clear();
}

void TvxDBScriptLoader::LoadFromStream(TvxStream& stream)
{
    TReader reader(stream);
    const std::int64_t countAt = reader.Position();
    const std::int32_t n = reader.GetInteger();
    if (n > MaxScriptCommands - Count())
        reader.FailAt(STooManyCommands, countAt);
    for (std::int32_t i = 0; i < n; ++i) {
        auto command = std::make_unique<TvxCommand>();
        const std::int64_t at = reader.Position();
        command->ReadFrom(reader);
        CheckCommandTableNames(*command, at);
        commands_.push_back(std::move(command));
        DoAfterLoad(*commands_.back());
    }
}

void TvxDBScriptLoader::SaveToStream(TvxStream& stream) const
{
    TWriter writer(stream);
    writer.PutInteger(Count());
    for (const auto& command : commands_)
        command->WriteTo(writer);
    writer.Flush();
}

bool TvxDBScriptLoader::ReplaceCommand(int i, std::unique_ptr<TvxCommand>&& command)
{
    if (i < 0 || i >= Count() || !command)
        return false;
    commands_[static_cast<std::size_t>(i)] = std::move(command);
    return true;
}

void TvxDBScriptLoader::DoAfterLoad(TvxCommand& command)
{
    if (AfterLoad)
        AfterLoad(command);
}

} // namespace morvane
