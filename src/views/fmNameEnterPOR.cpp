#include "views/fmNameEnterPOR.h"

#include <QPushButton>

namespace morvane {

TFormNameEnterPOR::TFormNameEnterPOR(QWidget* Owner, const QString& LabelCaption, const QString& FormCaption)
    : TFormNameEnter(Owner, LabelCaption, FormCaption)
{
    setObjectName(QStringLiteral("FormNameEnterPOR"));
    BitBtnCancel->setText(QStringLiteral("Cancelar"));
}

} // namespace morvane
