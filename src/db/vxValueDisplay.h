#pragma once
// Record values as output shows them: the forms of the command line's dump (a readable table
// and JSON) and of exports. Texts of a table (Alpha, Memo, Formatted memo) are converted from
// the table's code page to UTF-8 here; binary values (Bytes, Binary, OLE, Graphic) go to JSON
// as base64. Free functions, no state; nothing throws.

#include "model/TvxFieldValue.h"

#include <cstdint>
#include <cstddef>
#include <string>
#include <string_view>

namespace morvane {

// "YYYY-MM-DD" of an engine date (day 1 = 0001-01-01); years before 1 keep counting down
// ("0000-12-31", "-0001-12-31").
std::string ValueDateText(std::int32_t engineDate);
// "HH:MM:SS.mmm" of milliseconds since midnight (hours past 23 for a day or more).
std::string ValueTimeText(std::int32_t engineTime);
// "YYYY-MM-DDTHH:MM:SS.mmm" of an engine timestamp, rounded to the millisecond; a value no
// date holds gives its number text.
std::string ValueTimestampText(double engineTimestamp);
// The same three texts written into out, which holds at least TemporalTextSize characters,
// without allocating; the length.
inline constexpr std::size_t TemporalTextSize = 48;
std::size_t WriteDateText(char* out, std::int32_t engineDate);
std::size_t WriteTimeText(char* out, std::int32_t engineTime);
std::size_t WriteTimestampText(char* out, double engineTimestamp);
// The shortest text that reads back as the same double ("0.1", "-12.5", "1e+20").
std::string ValueNumberText(double value);
// Standard base64 with padding; AppendBase64 adds it to out.
std::string ValueBase64(std::string_view bytes);
void AppendBase64(std::string& out, std::string_view bytes);
// out += the JSON string literal of utf8 (quoted, escaped).
void AppendJsonString(std::string& out, std::string_view utf8);

// True for the types whose values are texts in the table's code page (Alpha, Memo,
// Formatted memo).
bool IsTextFieldType(int fieldType);

// out += the JSON form of a value of a field of fieldType (a TvxFieldType code): null when
// blank; texts as strings; Short, Long, Autoincrement as integers; Number, Money as numbers;
// BCD as a string of its exact digits; Date, Time, Timestamp as strings in the forms above;
// Logical as true/false; binary values as base64 strings.
void AppendValueJson(std::string& out, const TvxFieldValue& value, int fieldType, int codePage);
// The value in a readable table, one line: "" when blank, texts in UTF-8 with line breaks,
// tabs and other control characters shown as \n, \t, \xNN; binary values as "(N bytes)";
// Logical as "True"/"False"; the other types as in JSON without quotes.
std::string ValueDisplayText(const TvxFieldValue& value, int fieldType, int codePage);

} // namespace morvane
