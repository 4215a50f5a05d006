#include "views/fmNameEnter.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace morvane {

TFormNameEnter::TFormNameEnter(QWidget* Owner, const QString& LabelCaption, const QString& FormCaption)
    : QDialog(Owner)
{
    setObjectName(QStringLiteral("FormNameEnter"));
    setWindowTitle(FormCaption);
    QFont dialogFont = font();
    dialogFont.setPixelSize(13);
    setFont(dialogFont);

    EditText = new QLineEdit(this);
    EditText->setObjectName(QStringLiteral("EditText"));
    EditText->setFixedWidth(121);
    LabelText = new QLabel(LabelCaption, this);
    LabelText->setObjectName(QStringLiteral("LabelText"));
    LabelText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelText->setBuddy(EditText);

    pnLine = new QFrame(this);
    pnLine->setObjectName(QStringLiteral("pnLine"));
    pnLine->setFrameShape(QFrame::VLine);
    pnLine->setFrameShadow(QFrame::Sunken);

    BitBtnOk = new QPushButton(QStringLiteral("OK"), this);
    BitBtnOk->setObjectName(QStringLiteral("BitBtnOk"));
    BitBtnOk->setDefault(true);
    BitBtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtnCancel->setObjectName(QStringLiteral("BitBtnCancel"));
    connect(BitBtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormNameEnter::reject);

    fields_ = new QGridLayout;
    fields_->addWidget(LabelText, 0, 0);
    fields_->addWidget(EditText, 0, 1);
    fields_->setColumnStretch(0, 1);
    fields_->setRowStretch(8, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(BitBtnOk);
    buttons->addWidget(BitBtnCancel);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields_, 1);
    layout->addWidget(pnLine);
    layout->addLayout(buttons);

    setTabOrder(EditText, BitBtnOk);
    setTabOrder(BitBtnOk, BitBtnCancel);
    EditText->setFocus();
    resize(394, 98);
}

QString TFormNameEnter::EnteredText() const
{
    return EditText->text();
}

void TFormNameEnter::SetEnteredText(const QString& text)
{
    EditText->setText(text);
}

void TFormNameEnter::reject()
{
    EditText->clear();
    QDialog::reject();
}

} // namespace morvane
