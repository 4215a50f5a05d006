#include "views/fmPasswordEnter.h"

#include <QLineEdit>

namespace morvane {

TFormPasswordEnter::TFormPasswordEnter(QWidget* Owner, const QString& LabelCaption, const QString& FormCaption)
    : TFormNameEnter(Owner, LabelCaption, FormCaption)
{
    setObjectName(QStringLiteral("FormPasswordEnter"));
    EditText->setEchoMode(QLineEdit::Password);
    // "*" for every character, whatever the style's own mask character.
    EditText->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    QFont large = EditText->font();
    large.setPixelSize(20);
    EditText->setFont(large);
    resize(390, 99);
}

} // namespace morvane
