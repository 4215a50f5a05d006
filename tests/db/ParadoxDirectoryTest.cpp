// The directory listing against plain reference answers over random names: byte order of
// files(), case-insensitive find() and family(), and the table list's pattern matching
// against fnmatch.

#include "db/TvxParadoxDatabase.h"
#include "db/paradox/ParadoxDirectory.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fnmatch.h>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace morvane {
namespace {

std::string foldAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Names that share long prefixes, differ only in letter case, run past sixteen bytes and hold
// bytes above 0x7F, so ties in the first sixteen bytes and case-folded duplicates occur.
std::set<std::string> randomNames(std::mt19937& rng, int count)
{
    const std::vector<std::string> stems{"T0000", "t0000", "Orders", "ORDERS", "a_b", "A_B",
                                         "customer-accounts-long", "Customer-Accounts-Long", "x\xc3\xa9", "X\xc3\xa9"};
    const std::vector<std::string> exts{".DB", ".db", ".Db", ".PX", ".px", ".X02", ".x02", ".Y02", ".VAL",
                                        ".XG0", ".MB", ".db.bak", "", ".d", "_x.DB"};
    std::set<std::string> names;
    std::uniform_int_distribution<std::size_t> stem(0, stems.size() - 1), ext(0, exts.size() - 1);
    std::uniform_int_distribution<int> digit(0, 20);
    while (static_cast<int>(names.size()) < count) {
        std::string name = stems[stem(rng)];
        const int d = digit(rng);
        if (d < 10)
            name += static_cast<char>('0' + d);
        name += exts[ext(rng)];
        names.insert(name);
    }
    return names;
}

TEST(ParadoxDirectory, ListingFindAndFamilyAgreeWithPlainReferences)
{
    std::mt19937 rng(20261207);
    for (int round = 0; round < 4; ++round) {
        test::TempDir dir;
        const std::set<std::string> names = randomNames(rng, 60 + 40 * round);
        for (const auto& n : names)
            dir.write(n, "x");
        ParadoxDirectory listing(dir.str());
        const std::vector<std::string> sorted(names.begin(), names.end()); // std::string order
        ASSERT_EQ(listing.files(), sorted);

        for (const auto& n : names) {
            // Exact name first; otherwise the first listed name equal without regard to case.
            for (const std::string& probe : {n, foldAscii(n)}) {
                std::string expected = probe;
                if (!names.count(probe)) {
                    const auto it = std::find_if(sorted.begin(), sorted.end(),
                                                 [&](const std::string& s) { return foldAscii(s) == foldAscii(probe); });
                    expected = *it;
                }
                EXPECT_EQ(listing.find(probe), expected) << probe;
            }
            const std::string base = n.substr(0, n.rfind('.'));
            std::vector<std::string> family;
            for (const auto& s : sorted) {
                const auto dot = s.rfind('.');
                if (dot != std::string::npos && foldAscii(s.substr(0, dot)) == foldAscii(base))
                    family.push_back(s);
            }
            EXPECT_EQ(listing.family(base), family) << base;
        }
        EXPECT_EQ(listing.find("no-such-file.db"), std::nullopt);

        // The table list's suffix patterns say what fnmatch says, in any letter case.
        TvxParadoxDatabase db(dir.str(), nullptr);
        for (const char* pattern : {"*.db", "*.DB", "*.Px", "*", "*_x.db", "t*.db", "*.d?", "*.[dD][bB]"}) {
            std::vector<std::string> expected;
            for (const auto& s : sorted)
                if (::fnmatch(pattern, s.c_str(), FNM_CASEFOLD) == 0)
                    expected.push_back(s.substr(0, s.rfind('.'))); // the record's extension field is short
            std::vector<std::string> listed;
            for (const auto& rec : db.ListTables(pattern))
                listed.push_back(rec.tableName());
            EXPECT_EQ(listed, expected) << pattern;
        }
    }
}

} // namespace
} // namespace morvane
