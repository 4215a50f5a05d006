#pragma once
// EvxRunError: a failure that ends a run with one of the result codes of vxUpdateServerCodes.h;
// what() names the table, field or file concerned.

#include <stdexcept>
#include <string>

namespace morvane {

class EvxRunError : public std::runtime_error
{
public:
    EvxRunError(int code, const std::string& detail) : std::runtime_error(detail), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

} // namespace morvane
