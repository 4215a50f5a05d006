#pragma once
// EvxDifferenceError: a comparison that cannot become a script (a rename naming no field, two
// renames that need each other's names, a script that cannot be empty to start with). The text
// names the table and the fields.

#include <stdexcept>

namespace morvane {

class EvxDifferenceError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace morvane
