#pragma once
// The name-entry dialog with Portuguese captions, as the program shows it.

#include "views/fmNameEnter.h"

namespace morvane {

class TFormNameEnterPOR : public TFormNameEnter
{
    Q_OBJECT

public:
    TFormNameEnterPOR(QWidget* Owner, const QString& LabelCaption, const QString& FormCaption);
};

} // namespace morvane
