#include "views/fmNameListEnter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace morvane {

TFormNameListEnter::TFormNameListEnter(QWidget* Owner, const QStringList& Items, const QString& ListCaption,
                                       const QString& LabelCaption, const QString& FormCaption)
    : TFormNameEnter(Owner, LabelCaption, FormCaption)
{
    setObjectName(QStringLiteral("FormNameListEnter"));
    List = new QComboBox(this);
    List->setObjectName(QStringLiteral("List"));
    List->setEditable(false);
    List->setFixedWidth(121);
    QStringList sorted = Items;
    sorted.sort(Qt::CaseInsensitive);
    List->addItems(sorted);
    List->setCurrentIndex(-1);
    LabelList = new QLabel(ListCaption, this);
    LabelList->setObjectName(QStringLiteral("LabelList"));
    LabelList->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelList->setBuddy(List);
    List->setAccessibleName(QString(ListCaption).remove(QLatin1Char('&')));
    Fields()->addWidget(LabelList, 1, 0);
    Fields()->addWidget(List, 1, 1);

    setTabOrder(EditText, List);
    setTabOrder(List, BitBtnOk);
    setTabOrder(BitBtnOk, BitBtnCancel);
    resize(width(), 118);
}

} // namespace morvane
