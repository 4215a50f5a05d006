#include <gtest/gtest.h>

#include "model/vxCodePage.h"

#include <string>
#include <thread>
#include <vector>

using namespace morvane;

namespace {

const std::string fffd = "\xEF\xBF\xBD";

std::string Bytes(std::initializer_list<unsigned char> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// The UTF-8 form of one code point below U+10000.
std::string Utf8Of(char32_t u)
{
    std::string s;
    if (u < 0x80) {
        s += static_cast<char>(u);
    } else if (u < 0x800) {
        s += static_cast<char>(0xC0 | (u >> 6));
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (u >> 12));
        s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    }
    return s;
}

bool Undefined1252(unsigned b)
{
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

} // namespace

TEST(CodePageTest, EveryUpperByteOfWindows1252RoundTrips)
{
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const std::string byte(1, static_cast<char>(b));
        const std::string shown = CodePageToUtf8(byte, 1252);
        const std::string editable = CodePageToUtf8(byte, 1252, TvxUndefinedBytes::AsControls);
        EXPECT_TRUE(IsUtf8(shown));
        if (Undefined1252(b)) {
            EXPECT_EQ(shown, fffd);
            EXPECT_EQ(editable, Utf8Of(b)); // the C1 control of the same value
            EXPECT_EQ(Utf8ToCodePage(fffd, 1252), "?");
        } else {
            EXPECT_NE(shown, fffd);
            EXPECT_EQ(editable, shown);
            if (b >= 0xA0) {
                EXPECT_EQ(shown, Utf8Of(b)); // the upper half of Latin-1
            }
        }
        EXPECT_EQ(Utf8ToCodePage(editable, 1252), byte);
    }
    EXPECT_EQ(CodePageToUtf8("\x80\x9F", 1252), "\xE2\x82\xAC\xC5\xB8"); // euro sign, Y with diaeresis
    EXPECT_EQ(CodePageToUtf8("A\xE7\xE3o", 1252), "A\xC3\xA7\xC3\xA3o");
    // U+0080 is no undefined byte of Windows-1252: 0x80 is the euro sign.
    EXPECT_EQ(Utf8ToCodePage("\xC2\x80", 1252), "?");
}

TEST(CodePageTest, NoCodePageOrAnUnknownOneIsWindows1252)
{
    const std::string ansi = "Pre\xE7o \x80";
    const std::string utf8 = "Pre\xC3\xA7o \xE2\x82\xAC";
    for (int codePage : {0, -1, 12345}) {
        SCOPED_TRACE(codePage);
        EXPECT_EQ(CodePageToUtf8(ansi, codePage), utf8);
        EXPECT_EQ(Utf8ToCodePage(utf8, codePage), ansi);
    }
    EXPECT_EQ(CodePageToUtf8("", 1252), "");
    EXPECT_EQ(Utf8ToCodePage("", 1252), "");
    EXPECT_EQ(CodePageToUtf8(std::string("a\0b", 3), 1252), std::string("a\0b", 3));
}

TEST(CodePageTest, OemAndCyrillicCodePages)
{
    const std::string oem850 = Bytes({'A', 0x87, 0xC6, 'o', ' ', 0xA5}); // "Ação Ñ"
    const std::string utf8850 = "A\xC3\xA7\xC3\xA3o \xC3\x91";
    EXPECT_EQ(CodePageToUtf8(oem850, 850), utf8850);
    EXPECT_EQ(Utf8ToCodePage(utf8850, 850), oem850);

    const std::string cp866 = Bytes({0x8F, 0xE0, 0xA8, 0xA2, 0xA5, 0xE2}); // "Привет"
    const std::string utf8866 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
    EXPECT_EQ(CodePageToUtf8(cp866, 866), utf8866);
    EXPECT_EQ(Utf8ToCodePage(utf8866, 866), cp866);
    // The same bytes read as Windows-1251 are other letters.
    EXPECT_NE(CodePageToUtf8(cp866, 1251), utf8866);

    // 0xAA is undefined in Windows-1253 and outside the C1 range: U+FFFD in either mode.
    EXPECT_EQ(CodePageToUtf8("\xAA", 1253), fffd);
    EXPECT_EQ(CodePageToUtf8("\xAA", 1253, TvxUndefinedBytes::AsControls), fffd);
}

TEST(CodePageTest, DoubleByteNames)
{
    const std::string gbk = Bytes({0xD6, 0xD0, 0xCE, 0xC4, '1'}); // "中文1"
    const std::string utf8 = "\xE4\xB8\xAD\xE6\x96\x87" "1";
    EXPECT_EQ(CodePageToUtf8(gbk, 936), utf8);
    EXPECT_EQ(Utf8ToCodePage(utf8, 936), gbk);
    // A lead byte without its second byte at the end of a field.
    EXPECT_EQ(CodePageToUtf8(Bytes({'a', 0xD6}), 936), "a" + fffd);
    EXPECT_EQ(CodePageToUtf8(Bytes({0x82, 0xA0}), 932), "\xE3\x81\x82"); // hiragana A
    EXPECT_EQ(Utf8ToCodePage("\xE4\xB8\xAD", 1252), "?");
}

TEST(CodePageTest, InvalidUtf8AndUnrepresentableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToCodePage("\xCE\xA9 x", 1252), "? x"); // Omega
    EXPECT_EQ(Utf8ToCodePage("\xF0\x9F\x98\x80", 850), "?"); // an emoji is one character
    EXPECT_EQ(Utf8ToCodePage("a\xFF" "b", 1252), "a?b");
    EXPECT_EQ(Utf8ToCodePage("a\xC3", 1252), "a?");             // cut short at the end
    EXPECT_EQ(Utf8ToCodePage("\xC0\xAF", 1252), "??");          // overlong slash
    EXPECT_EQ(Utf8ToCodePage("\xED\xA0\x80!", 1252), "?" "?" "?!");   // surrogate
    EXPECT_EQ(Utf8ToCodePage("\xE7\xE3", 936), "??");           // Windows-1252 bytes given as UTF-8
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise.push_back(static_cast<char>((i * 151 + 7) & 0xFF));
    for (int codePage : {1252, 850, 936, 932})
        EXPECT_FALSE(Utf8ToCodePage(noise, codePage).empty());
    EXPECT_TRUE(IsUtf8(CodePageToUtf8(noise, 936)));
    EXPECT_TRUE(IsUtf8(CodePageToUtf8(noise, 932)));
}

TEST(CodePageTest, IsUtf8)
{
    EXPECT_TRUE(IsUtf8(""));
    EXPECT_TRUE(IsUtf8("plain"));
    EXPECT_TRUE(IsUtf8("A\xC3\xA7\xC3\xA3o"));
    EXPECT_TRUE(IsUtf8("\xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsUtf8("A\xE7\xE3o"));        // Windows-1252
    EXPECT_FALSE(IsUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(IsUtf8("\x80"));              // lone continuation byte
    EXPECT_FALSE(IsUtf8("\xC1\xBF"));          // overlong
    EXPECT_FALSE(IsUtf8("\xE0\x80\xAF"));      // overlong
    EXPECT_FALSE(IsUtf8("\xED\xB0\x80"));      // surrogate
    EXPECT_FALSE(IsUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(IsUtf8("\xF8\x88\x80\x80\x80"));
}

TEST(CodePageTest, ConvertsFromSeveralThreads)
{
    const std::string gbk = Bytes({0xD6, 0xD0, 0xCE, 0xC4});
    const std::string ansi = "A\xE7\xE3o";
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                const int codePage = (t + i) % 2 ? 936 : 1252;
                const std::string& bytes = codePage == 936 ? gbk : ansi;
                if (Utf8ToCodePage(CodePageToUtf8(bytes, codePage), codePage) != bytes)
                    ++failures[t];
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}
