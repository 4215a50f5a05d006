// Dates, times and timestamps written into a buffer of TemporalTextSize give the display's
// texts and stay within the buffer (the sanitizer build watches it), over the whole range of
// the engine's values: the usual ones, years outside 0-9999, times of 100 hours and more,
// negative values, and timestamps no date holds or that round up to the next day.

#include "db/vxValueDisplay.h"
#include "model/vxEngineValues.h"
#include "model/vxFieldTypes.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "export/vxExportValues.h"

namespace morvane {
namespace {

std::string dateText(std::int32_t v)
{
    char buf[TemporalTextSize];
    return std::string(buf, WriteDateText(buf, v));
}

std::string timeText(std::int32_t v)
{
    char buf[TemporalTextSize];
    return std::string(buf, WriteTimeText(buf, v));
}

std::string timestampText(double v)
{
    char buf[TemporalTextSize];
    return std::string(buf, WriteTimestampText(buf, v));
}

TEST(ExportTemporalText, SameAsTheDisplay)
{
    constexpr auto lowest = std::numeric_limits<std::int32_t>::min();
    constexpr auto highest = std::numeric_limits<std::int32_t>::max();
    std::vector<std::int32_t> ints = {lowest, lowest + 1, -730000, -1, 0, 1, 365, 730000, 3652059, 3652060,
                                      MsPerDay - 1, MsPerDay, 100 * 3600000 - 1, 100 * 3600000, highest};
    const double day = MsPerDay;
    std::vector<double> stamps = {0, -1, 0.4999, 0.5, day - 0.5, day - 0.4, 1e300, -1e300, 1e20,
                                  std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                                  highest * day, (highest - 1.0) * day, lowest * day, (lowest - 1.0) * day,
                                  63716202001000.0, 3652059 * day + day - 0.5, 3652060 * day};
    std::mt19937_64 rng(20261207);
    std::uniform_int_distribution<std::int32_t> anyInt(lowest, highest);
    std::uniform_int_distribution<std::int32_t> usualDate(1, 3652059);
    std::uniform_int_distribution<std::int32_t> usualTime(0, MsPerDay - 1);
    std::uniform_real_distribution<double> usualStamp(0, 3652060 * day);
    for (int i = 0; i < 20000; ++i) {
        ints.push_back(anyInt(rng));
        ints.push_back(usualDate(rng));
        ints.push_back(usualTime(rng));
        stamps.push_back(usualStamp(rng));
        stamps.push_back(std::round(usualStamp(rng)) + 0.5);
        stamps.push_back(static_cast<double>(anyInt(rng)) * anyInt(rng));
    }
    for (const std::int32_t v : ints) {
        ASSERT_EQ(dateText(v), ValueDateText(v)) << v;
        ASSERT_EQ(timeText(v), ValueTimeText(v)) << v;
    }
    for (const double v : stamps)
        ASSERT_EQ(timestampText(v), ValueTimestampText(v)) << v;
}

// Exports write every kind of value in the display's forms (binary values in base64, texts in
// UTF-8), added to what the buffer holds.
TEST(ExportTemporalText, ExportFormsAreTheDisplayForms)
{
    std::mt19937_64 rng(2612);
    const std::string latin1 = "caf\xE9, \"x\"\r\n";
    for (int i = 0; i < 5000; ++i) {
        const auto bits = rng();
        double real = 0;
        std::memcpy(&real, &bits, sizeof real);
        if (!std::isfinite(real))
            real = static_cast<double>(bits % 1000000) / 1000;
        const std::string bytes = std::to_string(bits).substr(0, bits % 20) + (i % 3 ? "" : latin1);
        const std::pair<TvxFieldValue, int> values[] = {
            {TvxFieldValue::Integer(static_cast<std::int64_t>(bits)), fldLong}, {TvxFieldValue::Float(real), fldNumber},
            {TvxFieldValue::Logical(bits % 2), fldLogical}, {TvxFieldValue::Date(static_cast<std::int32_t>(bits)), fldDate},
            {TvxFieldValue::Time(static_cast<std::int32_t>(bits % 200000000)), fldTime},
            {TvxFieldValue::Timestamp(real), fldTimestamp}, {TvxFieldValue::Bcd("-12.50"), fldBcd},
            {TvxFieldValue::Bytes(bytes), fldAlpha}, {TvxFieldValue::Bytes(bytes), fldBytes}, {TvxFieldValue(), fldShort}};
        for (const auto& [value, type] : values) {
            const std::string expected = value.kind() == TvxFieldValue::Kind::Bytes
                                             ? (type == fldBytes ? ValueBase64(bytes) : ExportText(bytes, 1252))
                                         : value.kind() == TvxFieldValue::Kind::Bcd ? value.text()
                                                                                    : ValueDisplayText(value, type, 1252);
            std::string out = "held";
            AppendExportText(out, value, type, 1252);
            ASSERT_EQ(out, "held" + expected) << type;
        }
    }
}

} // namespace
} // namespace morvane
