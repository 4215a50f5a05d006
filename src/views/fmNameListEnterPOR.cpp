#include "views/fmNameListEnterPOR.h"

#include <QPushButton>

namespace morvane {

TFormNameListEnterPOR::TFormNameListEnterPOR(QWidget* Owner, const QStringList& Items, const QString& ListCaption,
                                             const QString& LabelCaption, const QString& FormCaption)
    : TFormNameListEnter(Owner, Items, ListCaption, LabelCaption, FormCaption)
{
    setObjectName(QStringLiteral("FormNameListEnterPOR"));
    BitBtnCancel->setText(QStringLiteral("Cancelar"));
}

} // namespace morvane
