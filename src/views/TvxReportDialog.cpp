#include "views/TvxReportDialog.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace morvane {

TvxReportDialog::TvxReportDialog(const QString& caption, const QString& report, const QString& question,
                                 QWidget* parent)
    : QDialog(parent), report_(new QPlainTextEdit(report, this))
{
    setObjectName(QStringLiteral("ReportDialog"));
    setWindowTitle(caption);
    resize(560, 420);
    report_->setObjectName(QStringLiteral("Report"));
    report_->setAccessibleName(QStringLiteral("Relatório"));
    report_->setReadOnly(true);
    report_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    report_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* label = new QLabel(question, this);
    label->setObjectName(QStringLiteral("Question"));
    label->setWordWrap(true);
    auto* yes = new QPushButton(QStringLiteral("&Sim"), this);
    yes->setObjectName(QStringLiteral("Yes"));
    auto* no = new QPushButton(QStringLiteral("&Não"), this);
    no->setObjectName(QStringLiteral("No"));
    no->setDefault(true);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(yes);
    buttons->addWidget(no);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(report_, 1);
    layout->addWidget(label);
    layout->addLayout(buttons);
}

bool TvxReportDialog::Ask()
{
    return exec() == QDialog::Accepted;
}

} // namespace morvane
