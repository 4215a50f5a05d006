#pragma once
// The name-and-list dialog with Portuguese captions, as the program shows it.

#include "views/fmNameListEnter.h"

namespace morvane {

class TFormNameListEnterPOR : public TFormNameListEnter
{
    Q_OBJECT

public:
    TFormNameListEnterPOR(QWidget* Owner, const QStringList& Items, const QString& ListCaption,
                          const QString& LabelCaption, const QString& FormCaption);
};

} // namespace morvane
