// Picture strings of validity checks held against value texts.

#include <gtest/gtest.h>

#include "server/vxPicture.h"

namespace morvane {
namespace {

TEST(PictureTest, ValuesAgainstPictures)
{
    constexpr auto M = TvxPictureMatch::Matches;
    constexpr auto B = TvxPictureMatch::Breaks;
    constexpr auto U = TvxPictureMatch::Unknown;
    const struct
    {
        const char* picture;
        const char* text;
        TvxPictureMatch result;
    } cases[] = {
        {"#####", "12345", M},      {"#####", "1234", B},        {"#####", "1234a", B},
        {"&&", "SP", M},            {"&&", "s1", B},             {"(###)###-####", "(051)555-1234", M},
        {"(###)###-####", "051-555-1234", B},
        {"*#", "", M},              {"*#", "123", M},            {"*#", "12a", B},
        {"*3#", "123", M},          {"*3#", "12", B},            {"*#5", "12345", M}, // the star gives back
        {"[#]#", "5", M},           {"[#]#", "55", M},           {"[#]#", "555", B},
        {"{Sim,N\xE3o}", "sim", M}, {"{Sim,N\xE3o}", "N\xC3O", M}, {"{Sim,N\xE3o}", "Talvez", B},
        {"*{&,#}", "A1B2", M},      {"*{&,#}", "A-1", B},        {";#", "#", M},
        {";#", "1", B},             {"@@!", "abC", M},           {"@@!", "ab", B},
        {"[", "x", U},              {"{a", "a", U},              {"*", "", U},
        {"a]", "a", U},             {"", "", U},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchPicture(c.picture, c.text), c.result) << c.picture << " / " << c.text;
}

TEST(PictureTest, NestedRepetitionsEndWithoutAnAnswerRatherThanRunOn)
{
    const std::string text(200, '1');
    const TvxPictureMatch r = MatchPicture("*[*[*[#]]]x", text);
    EXPECT_NE(r, TvxPictureMatch::Matches);
}

} // namespace
} // namespace morvane
