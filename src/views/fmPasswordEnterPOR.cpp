#include "views/fmPasswordEnterPOR.h"

#include <QPushButton>

namespace morvane {

TFormPasswordEnterPOR::TFormPasswordEnterPOR(QWidget* Owner, const QString& LabelCaption, const QString& FormCaption)
    : TFormPasswordEnter(Owner, LabelCaption, FormCaption)
{
    setObjectName(QStringLiteral("FormPasswordEnterPOR"));
    BitBtnCancel->setText(QStringLiteral("Cancelar"));
}

} // namespace morvane
