#pragma once
// EvxAbort: the silent exception a handler throws to end the operation that called it (an
// AfterLoad handler stopping a load). Callers show no message for it.

#include <exception>

namespace morvane {

class EvxAbort : public std::exception
{
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

} // namespace morvane
