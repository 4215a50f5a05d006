#include "views/fmShowComm.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace morvane {

TFormShowComm::TFormShowComm(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("FormShowComm"));
    setWindowTitle(QStringLiteral("Show Commands"));

    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Panel1"));
    strip->setFixedHeight(40);
    Button1 = new QPushButton(QStringLiteral("Button1"), strip);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(8, 0, 8, 0);
    stripLayout->addWidget(Button1);
    stripLayout->addStretch(1);

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setAccessibleName(QStringLiteral("Comandos"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(strip);
    layout->addWidget(Memo, 1);
    resize(494, 480);
}

void TFormShowComm::SetLines(const QStringList& lines)
{
    Memo->setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList TFormShowComm::Lines() const
{
    const QString text = Memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

} // namespace morvane
