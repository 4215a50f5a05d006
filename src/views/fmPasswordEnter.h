#pragma once
// TFormPasswordEnter: the name-entry dialog for a password: its larger edit shows "*" for every
// character typed.

#include "views/fmNameEnter.h"

namespace morvane {

class TFormPasswordEnter : public TFormNameEnter
{
    Q_OBJECT

public:
    TFormPasswordEnter(QWidget* Owner, const QString& LabelCaption, const QString& FormCaption);
};

} // namespace morvane
