#pragma once
// The kinds of script command, by their stored code. Code 11 is the kind of a fresh command.

#include <cstdint>

namespace morvane {

enum TvxCommandKind : std::uint8_t {
    ckAddAlias = 0,
    ckAddNewAlias = 1,
    ckCreateTable = 2,
    ckDeleteTable = 3,
    ckChangeTable = 4,
    ckAddTable = 5,
    ckCreateField = 6,
    ckChangeField = 7,
    ckDeleteField = 8,
    ckMoveField = 9,
    ckAddPassword = 10,
    ckNone = 11,
};

} // namespace morvane
