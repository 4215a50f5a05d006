#pragma once
// Conversion between the single-byte texts that records hold (in a table's code page) and the
// widgets' QString. Code pages 1252, 437 and 850 are built in; others go through Qt's codecs when
// available, else Latin-1. A code page of 0 or less means that of new tables (Windows-1252).
// Characters the code page cannot hold are written as "?".

#include <QString>

#include <string>
#include <string_view>

namespace morvane {

inline constexpr int vxNewTableCodePage = 1252;

QString RecordTextToQString(std::string_view bytes, int codePage = vxNewTableCodePage);
std::string QStringToRecordText(const QString& text, int codePage = vxNewTableCodePage);

} // namespace morvane
