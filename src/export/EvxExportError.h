#pragma once
// A failure of an export that is not the engine's: the output cannot be written, it exists
// already, SQLite refused a statement. The message names the path or the table.

#include <stdexcept>
#include <string>

namespace morvane {

class EvxExportError : public std::runtime_error
{
public:
    explicit EvxExportError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace morvane
