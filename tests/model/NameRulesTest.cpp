// The one rule for table and field names: what a file system and the engine can hold.

#include "model/vxNameRules.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(NameRules, TableNamesAFileSystemAndTheEngineCanHold)
{
    const std::pair<std::string, TvxNameFault> cases[] = {
        {"CLIENTES", TvxNameFault::None},
        {"Pedidos 2024", TvxNameFault::None},
        {"A\xE7\xE3o", TvxNameFault::None}, // Windows-1252 letters
        {"v1.2", TvxNameFault::None},
        {"CONTA", TvxNameFault::None},
        {"COM10", TvxNameFault::None},
        {"", TvxNameFault::Empty},
        {std::string(MaxTableNameBytes, 'A'), TvxNameFault::None},
        {std::string(MaxTableNameBytes + 1, 'A'), TvxNameFault::TooLong},
        {"../x", TvxNameFault::Separator},
        {"Tab/ela", TvxNameFault::Separator},
        {"dir\\x", TvxNameFault::Separator},
        {"a:b", TvxNameFault::Forbidden},
        {"Tab*", TvxNameFault::Forbidden},
        {"q?", TvxNameFault::Forbidden},
        {"\"x\"", TvxNameFault::Forbidden},
        {"<x>", TvxNameFault::Forbidden},
        {"a|b", TvxNameFault::Forbidden},
        {"a\tb", TvxNameFault::Control},
        {std::string("a\0b", 3), TvxNameFault::Control},
        {"x\x7F", TvxNameFault::Control},
        {".", TvxNameFault::Dots},
        {"..", TvxNameFault::Dots},
        {"con", TvxNameFault::DeviceName},
        {"NUL.DB", TvxNameFault::DeviceName},
        {"Lpt9", TvxNameFault::DeviceName},
        {"COM1.txt", TvxNameFault::DeviceName},
        {"nome.", TvxNameFault::TrailingDot},
        {"nome ", TvxNameFault::TrailingDot},
    };
    for (const auto& [name, fault] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(TableNameFault(name), fault);
        EXPECT_EQ(TableNameProblem(name).empty(), fault == TvxNameFault::None);
    }
    EXPECT_EQ(TableNameProblem("a/b"), "table name \"a/b\" is not allowed: it contains a path separator (/ or \\)");
    EXPECT_EQ(FieldNameFault("Data/Hora"), TvxNameFault::None);
    EXPECT_EQ(FieldNameFault(std::string(MaxFieldNameBytes + 1, 'F')), TvxNameFault::TooLong);
    EXPECT_EQ(FieldNameFault("a\nb"), TvxNameFault::Control);
}

} // namespace
} // namespace morvane
