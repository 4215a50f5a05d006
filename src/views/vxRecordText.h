#pragma once
// The widgets' side of record texts: QString to and from the bytes records hold, in a table's
// code page (0 or less: that of new tables), through the model's one converter. Bytes 0x80-0x9F
// a code page leaves undefined show as C1 controls, so that an edited text keeps them;
// characters the code page cannot hold are written as "?".

#include "model/vxCodePage.h"

#include <QString>

#include <string>
#include <string_view>

namespace morvane {

inline QString RecordTextToQString(std::string_view bytes, int codePage = vxNewTableCodePage)
{
    return QString::fromStdString(CodePageToUtf8(bytes, codePage, TvxUndefinedBytes::AsControls));
}

inline std::string QStringToRecordText(const QString& text, int codePage = vxNewTableCodePage)
{
    return Utf8ToCodePage(text.toStdString(), codePage);
}

} // namespace morvane
