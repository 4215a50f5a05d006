#pragma once
// The password dialog with Portuguese captions, as the program shows it.

#include "views/fmPasswordEnter.h"

namespace morvane {

class TFormPasswordEnterPOR : public TFormPasswordEnter
{
    Q_OBJECT

public:
    TFormPasswordEnterPOR(QWidget* Owner, const QString& LabelCaption, const QString& FormCaption);
};

} // namespace morvane
