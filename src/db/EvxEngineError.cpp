#include "db/EvxEngineError.h"

namespace morvane {

namespace {
std::string joinMessages(const std::vector<TvxEngineErrorItem>& errors)
{
    std::string text;
    for (const auto& e : errors) {
        if (!text.empty())
            text += '\n';
        text += e.message;
    }
    return text;
}
} // namespace

EvxEngineError::EvxEngineError(std::vector<TvxEngineErrorItem> errors)
    : std::runtime_error(joinMessages(errors)), errors_(std::move(errors))
{
}

EvxEngineError::EvxEngineError(int code, const std::string& message)
    : EvxEngineError(std::vector<TvxEngineErrorItem>{{code, message}})
{
}

} // namespace morvane
