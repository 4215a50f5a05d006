#include "model/vxFieldTypes.h"
#include "script/TvxCommand.h"
#include "script/vxCommandText.h"
#include "script/vxScriptLimits.h"
#include "stream/EvxStreamError.h"
#include "stream/TReader.h"
#include "stream/TvxMemoryStream.h"
#include "stream/TWriter.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/TestFields.h"

using namespace morvane;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Write(const TvxCommand& c)
{
    TvxMemoryStream ms;
    {
        TWriter w(ms);
        c.WriteTo(w);
    }
    return ms.Bytes();
}

std::unique_ptr<TvxCommand> Read(const Bytes& bytes)
{
    TvxMemoryStream ms(bytes);
    TReader r(ms);
    auto c = std::make_unique<TvxCommand>();
    c->ReadFrom(r);
    return c;
}

using test::MakeField;

} // namespace

TEST(Parameter, TextsAndIntegersOfEveryKind)
{
    EXPECT_EQ(TvxParameter().AsText(), "");
    EXPECT_EQ(TvxParameter().AsInteger(), 0);
    EXPECT_EQ(TvxParameter(std::int32_t{-1}).AsText(), "-1");
    EXPECT_EQ(TvxParameter(std::int32_t{300}).AsText(), "300");
    EXPECT_EQ(TvxParameter(std::string("12")).AsInteger(), 0);
    EXPECT_EQ(TvxParameter(std::string("CLI")).AsText(), "CLI");
    EXPECT_EQ(TvxParameter(2.5).AsText(), "");
    EXPECT_EQ(TvxParameter(2.5).AsInteger(), 0);
}

TEST(Parameter, EqualityFollowsVariantComparison)
{
    auto eq = [](TvxValue a, TvxValue b) { return TvxParameter(a).IsEqual(TvxParameter(b)); };
    EXPECT_TRUE(eq(std::int32_t{5}, std::int32_t{5}));
    EXPECT_FALSE(eq(std::int32_t{5}, std::int32_t{6}));
    EXPECT_TRUE(eq(std::string("abc"), std::string("abc")));
    EXPECT_FALSE(eq(std::string("abc"), std::string("ABC")));
    EXPECT_TRUE(eq(std::monostate{}, std::string()));
    EXPECT_FALSE(eq(std::monostate{}, std::string("x")));
    EXPECT_TRUE(eq(std::int32_t{5}, std::string("5")));
    EXPECT_FALSE(eq(std::int32_t{5}, std::string("five")));
    EXPECT_TRUE(eq(std::int32_t{2}, 2.0));
}

TEST(Parameter, EmptyAndEmptyStringAreWrittenAlikeAndReadAsStrings)
{
    TvxCommand c(ckAddPassword, {std::monostate{}, std::string()});
    const Bytes b = Write(c);
    EXPECT_EQ(b, (Bytes{2, ckAddPassword, 2, 2, 6, 0, 6, 0}));
    auto back = Read(b);
    ASSERT_EQ(back->ParamCount(), 2);
    for (int i = 0; i < back->ParamCount(); ++i)
        EXPECT_TRUE(back->Param(i)->IsString()) << "parameter " << i;
    EXPECT_TRUE(back->IsEqual(c));
}

TEST(Parameter, StringsOf255And256Characters)
{
    const std::string s255(255, 'a'), s256(256, 'b');
    TvxCommand c(ckAddPassword, {s255, s256});
    const Bytes b = Write(c);
    ASSERT_EQ(b.size(), 4u + 257u + 261u);
    EXPECT_EQ((Bytes{b.begin() + 4, b.begin() + 6}), (Bytes{6, 0xFF}));
    EXPECT_EQ((Bytes{b.begin() + 261, b.begin() + 266}), (Bytes{12, 0x00, 0x01, 0x00, 0x00}));
    auto back = Read(b);
    EXPECT_EQ(back->ParamText(AddPasswordParam::Table), s255);
    EXPECT_EQ(back->ParamText(AddPasswordParam::Password), s256);
}

TEST(Parameter, TagsReadByTheParameterReader)
{
    // kind 6, 5 parameters: long string of 256, tag 5 extended 1.5, unknown tag 9, int16, int32.
    const Bytes head{2, 6, 2, 5, 12, 0x00, 0x01, 0x00, 0x00};
    Bytes b;
    b.reserve(300);
    b.insert(b.end(), head.begin(), head.end());
    b.insert(b.end(), 256, 'q');
    const Bytes ext{5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F};
    b.insert(b.end(), ext.begin(), ext.end());
    const Bytes rest{9, 3, 0x00, 0x80, 4, 0x00, 0x00, 0x01, 0x00};
    b.insert(b.end(), rest.begin(), rest.end());
    auto c = Read(b);
    // In order: the string, the double (no text, no integer), the empty value, two integers.
    const std::vector<TvxValue> expected{std::string(256, 'q'), 1.5, std::monostate{}, std::int32_t{-32768},
                                         std::int32_t{65536}};
    ASSERT_EQ(c->ParamCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < c->ParamCount(); ++i)
        EXPECT_EQ(c->Param(i)->Value(), expected[static_cast<std::size_t>(i)]) << "parameter " << i;
    const int extendedAt = 1; // the tag-5 value of the list above
    const TvxParameter& extended = *c->Param(extendedAt);
    EXPECT_EQ(extended.AsText(), "");
    EXPECT_EQ(extended.AsInteger(), 0);
}

TEST(Command, CreateAndLabels)
{
    TvxCommand fresh;
    EXPECT_EQ(fresh.Kind(), ckNone);
    EXPECT_EQ(fresh.ParamCount(), 0);
    EXPECT_EQ(fresh.Label(), "");
    const char* labels[] = {"Add alias",    "Add new alias", "Create table", "Delete table",
                            "Change table", "Add table",     "Create field", "Change field",
                            "Delete field", "Move field",    "Add password"};
    for (int k = 0; k <= 10; ++k)
        EXPECT_EQ(CommandKindLabel(k), labels[k]);
    EXPECT_EQ(CommandKindLabel(11), "");
    EXPECT_EQ(CommandKindLabel(12), "");
    EXPECT_EQ(CommandKindLabel(-1), "");
}

TEST(Command, ParametersBeyondTheLastReadEmpty)
{
    TvxCommand c(ckAddPassword, {std::string("T"), std::int32_t{7}});
    const int beyond = AddPasswordParam::Count;
    EXPECT_EQ(c.Param(beyond), nullptr);
    EXPECT_EQ(c.Param(-1), nullptr);
    EXPECT_EQ(c.ParamText(beyond + 3), "");
    EXPECT_EQ(c.ParamInteger(beyond + 3), 0);
    c.SetParamValue(beyond + 3, std::string("x"));
    EXPECT_EQ(c.ParamCount(), AddPasswordParam::Count);
    c.SetParamValue(AddPasswordParam::Password, std::int32_t{8});
    EXPECT_EQ(c.ParamInteger(AddPasswordParam::Password), 8);
    c.TruncateParams(AddPasswordParam::Password);
    EXPECT_EQ(c.ParamCount(), AddPasswordParam::Password);
    c.TruncateParams(beyond + 2);
    EXPECT_EQ(c.ParamCount(), AddPasswordParam::Password);
}

TEST(Command, FieldBlocks)
{
    TvxCommand c(ckChangeField, {std::string("T")});
    c.AddFieldBlock(MakeField("VALOR", 3, fldBcd, 2));
    c.AddFieldBlock(MakeField("NOME", 1, fldAlpha, 30));
    ASSERT_EQ(c.ParamCount(), ChangeFieldParam::Count);
    EXPECT_EQ(CommandText(c), "Change field ->  T VALOR 3 273 2 17 NOME 1 257 30 30");
    c.SetFieldBlock(ChangeFieldParam::NewField, MakeField("CODIGO", 2, fldLong));
    EXPECT_EQ(CommandText(c), "Change field ->  T VALOR 3 273 2 17 CODIGO 2 267 0 4");
    // Only existing positions are overwritten.
    const int lastTwo = ChangeFieldParam::NewField + FieldBlockItem::Size;
    c.SetFieldBlock(lastTwo, MakeField("X", 9, fldShort));
    EXPECT_EQ(c.ParamCount(), ChangeFieldParam::Count);
    EXPECT_EQ(c.ParamText(lastTwo), "X");
    // A name that fills the whole name area stops at the area's end.
    TvxFieldDesc longName;
    std::memset(longName.data() + TvxFieldDesc::oName, 'N', 32);
    EXPECT_EQ(std::get<std::string>(FieldBlockValues(longName)[FieldBlockItem::Name]), std::string(32, 'N'));
}

TEST(Command, TextLine)
{
    EXPECT_EQ(CommandText(TvxCommand(ckCreateTable, {std::string("CLIENTES")})), "Create table ->  CLIENTES");
    EXPECT_EQ(CommandText(TvxCommand()), " -> ");
    EXPECT_EQ(CommandText(TvxCommand(ckAddAlias, {std::string(), std::string("STANDARD"), std::string("/d")})),
              "Add alias ->   STANDARD /d");
}

TEST(Command, RecordBytesAndRoundTrip)
{
    TvxCommand c(ckCreateTable, {std::string("CLI")});
    EXPECT_EQ(Write(c), (Bytes{2, 2, 2, 1, 6, 3, 'C', 'L', 'I'}));

    TvxCommand move(ckMoveField, {std::string(300, 'z'), std::string("DESTINO")});
    move.AddFieldBlock(MakeField("A", 1, fldAlpha, 255));
    TvxFieldDesc b = MakeField("B", 40000, fldLong);
    b.setUnits1(-1);
    move.AddFieldBlock(b);
    auto back = Read(Write(move));
    EXPECT_TRUE(back->IsEqual(move));
    EXPECT_EQ(Write(*back), Write(move));
    EXPECT_TRUE(move.Clone()->IsEqual(move));
}

TEST(Command, KindKeepsTheLowEightBits)
{
    auto c = Read(Bytes{3, 0x2C, 0x01, 2, 0});
    EXPECT_EQ(c->Kind(), 44);
    EXPECT_EQ(c->Label(), "");
}

TEST(Command, Equality)
{
    TvxCommand a(ckAddPassword, {std::string("T"), std::string("pw")});
    TvxCommand b(ckAddPassword, {std::string("T"), std::string("pw")});
    EXPECT_TRUE(a.IsEqual(b));
    b.AddValues({std::string()});
    EXPECT_FALSE(a.IsEqual(b));
    EXPECT_FALSE(b.IsEqual(a));
    TvxCommand c(ckDeleteField, {std::string("T"), std::string("pw")});
    EXPECT_FALSE(a.IsEqual(c));
    TvxCommand d(ckAddPassword, {std::string("T"), std::string("PW")});
    EXPECT_FALSE(a.IsEqual(d));
}

TEST(Command, DamagedRecords)
{
    // A string where the kind is expected.
    try {
        Read(Bytes{6, 1, 'x'});
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Invalid property value");
    }
    // A string where the count is expected.
    EXPECT_THROW(Read(Bytes{2, 2, 6, 0}), EReadError);
    // The count promises more parameters than the stream holds.
    try {
        Read(Bytes{2, ckMoveField, 2, MoveFieldParam::Count, 2, 1});
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
}

// A count beyond what the command's kind holds is refused at the count, before any parameter
// is built: ten million empty parameters cost nothing. Codes without a kind may hold as many as
// the largest kind.
TEST(Command, ParameterCountsAreBoundedByTheKind)
{
    struct Case
    {
        std::uint8_t kind;
        int allowed;
    };
    const Case cases[] = {{ckAddAlias, 3},
                          {ckAddNewAlias, 3},
                          {ckCreateTable, 1},
                          {ckDeleteTable, 1},
                          {ckChangeTable, 2},
                          {ckAddTable, 2},
                          {ckCreateField, 7},
                          {ckChangeField, 11},
                          {ckDeleteField, 2},
                          {ckMoveField, 12},
                          {ckAddPassword, 2},
                          {ckNone, 0},
                          {44, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        Bytes ok{2, c.kind, 2, static_cast<std::uint8_t>(c.allowed)};
        ok.insert(ok.end(), static_cast<std::size_t>(c.allowed), 1); // unknown tag: an empty parameter
        EXPECT_EQ(Read(ok)->ParamCount(), c.allowed);
        Bytes over = ok;
        over[3] = static_cast<std::uint8_t>(c.allowed + 1);
        over.push_back(1);
        try {
            Read(over);
            ADD_FAILURE() << "accepted";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), STooManyParams);
            EXPECT_EQ(e.Offset(), 2); // at the count
        }
    }
    const Bytes huge{2, ckCreateField, 4, 0x80, 0x96, 0x98, 0x00}; // 10,000,000
    EXPECT_THROW(Read(huge), EReadError);
}
