#include "editor/TvxQtPrompts.h"

#include "editor/fmEditFields.h"
#include "views/TvxReportDialog.h"
#include "views/fmAboutPOR.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace morvane {

QString TvxQtPrompts::QtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
    return filters.join(QStringLiteral(";;"));
}

TvxMsgResult TvxQtPrompts::Message(TvxMsgKind kind, const QString& caption, const QString& text,
                                   TvxMsgButtons buttons)
{
    QMessageBox box(parent_);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (kind) {
    case TvxMsgKind::Information: box.setIcon(QMessageBox::Information); break;
    case TvxMsgKind::Warning: box.setIcon(QMessageBox::Warning); break;
    case TvxMsgKind::Error: box.setIcon(QMessageBox::Critical); break;
    case TvxMsgKind::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case TvxMsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case TvxMsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case TvxMsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return TvxMsgResult::Ok;
    case QMessageBox::Yes: return TvxMsgResult::Yes;
    case QMessageBox::No: return TvxMsgResult::No;
    default: return buttons == TvxMsgButtons::Ok ? TvxMsgResult::Ok : TvxMsgResult::Cancel;
    }
}

std::optional<QString> TvxQtPrompts::AskText(const QString& caption, const QString& label, const QString& proposed,
                                             bool password, bool englishForm, const QString* listLabel,
                                             const QStringList* items)
{
    // Fields on the left, a thin sunken line, the buttons stacked on the right.
    QDialog dialog(parent_);
    dialog.setWindowTitle(caption);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* edit = new QLineEdit(proposed, &dialog);
    edit->setObjectName(QStringLiteral("EditText"));
    edit->setMinimumWidth(121);
    if (password) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));   // "*"
        QFont large = edit->font();
        large.setPixelSize(20);
        edit->setFont(large);
    }
    form->addRow(label, edit);
    if (listLabel && items) {
        auto* list = new QComboBox(&dialog);
        list->setObjectName(QStringLiteral("List"));
        QStringList sorted = *items;
        sorted.sort(Qt::CaseInsensitive);
        list->addItems(sorted);
        form->addRow(*listLabel, list);
    }
    auto* line = new QFrame(&dialog);
    line->setObjectName(QStringLiteral("pnLine"));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(QStringLiteral("BitBtnOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(englishForm ? QStringLiteral("Cancel") : QStringLiteral("Cancelar"), &dialog);
    cancel->setObjectName(QStringLiteral("BitBtnCancel"));
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(&dialog);
    layout->addLayout(form, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);
    dialog.resize(password ? 390 : 394, listLabel ? 118 : password ? 99 : 98);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

std::optional<QString> TvxQtPrompts::EnterName(const QString& caption, const QString& label, const QString& proposed,
                                               bool englishForm)
{
    return AskText(caption, label, proposed, false, englishForm, nullptr, nullptr);
}

std::optional<QString> TvxQtPrompts::EnterNameWithList(const QString& caption, const QString& label,
                                                       const QString& listLabel, const QStringList& items)
{
    return AskText(caption, label, {}, false, false, &listLabel, &items);
}

std::optional<QString> TvxQtPrompts::EnterPassword(const QString& caption, const QString& label)
{
    return AskText(caption, label, {}, true, false, nullptr, nullptr);
}

std::optional<QString> TvxQtPrompts::ChooseFile(const TvxFileDialogOptions& options, bool save)
{
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(QtFilter(options.filter));
    dialog.setDefaultSuffix(options.defaultSuffix);
    if (save)
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<QString> TvxQtPrompts::OpenFile(const TvxFileDialogOptions& options)
{
    return ChooseFile(options, false);
}

std::optional<QString> TvxQtPrompts::SaveFile(const TvxFileDialogOptions& options)
{
    return ChooseFile(options, true);
}

std::optional<QString> TvxQtPrompts::ChooseDirectory(const QString& start, bool allowCreate, int /*helpContext*/)
{
    QFileDialog dialog(parent_);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setDirectory(start.isEmpty() ? QDir::currentPath() : start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().front();
    if (QDir(chosen).exists())
        return chosen;
    if (!allowCreate)
        return std::nullopt;
    const auto answer = Message(TvxMsgKind::Question, QCoreApplication::applicationName(),
                                QStringLiteral("O diretório \"%1\" não existe. Criar?").arg(chosen),
                                TvxMsgButtons::OkCancel);
    if (answer != TvxMsgResult::Ok || !QDir().mkpath(chosen))
        return std::nullopt;
    return chosen;
}

bool TvxQtPrompts::EditField(TvxFieldDesc& field, QString& defaultValue,
                             const std::vector<TvxFieldTypeRec>& fieldTypes)
{
    TFormEditFieldPOR dialog(parent_);
    return dialog.EditField(field, defaultValue, fieldTypes) == QDialog::Accepted;
}

void TvxQtPrompts::ShowCommands(const QStringList& lines)
{
    QDialog dialog(parent_);
    dialog.setWindowTitle(QStringLiteral("Show Commands"));
    dialog.resize(494, 480);
    auto* button = new QPushButton(QStringLiteral("Button1"), &dialog);
    auto* memo = new QPlainTextEdit(lines.join(QLatin1Char('\n')), &dialog);
    memo->setAccessibleName(QStringLiteral("Memo"));
    memo->setReadOnly(true);
    QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(button, 0, Qt::AlignLeft);
    layout->addWidget(memo, 1);
    dialog.exec();
}

bool TvxQtPrompts::AskAboutReport(const QString& caption, const QString& report, const QString& question)
{
    TvxReportDialog dialog(caption, report, question, parent_);
    return dialog.Ask();
}

void TvxQtPrompts::ShowAbout()
{
    TfrmAboutPOR about(version_, parent_);
    about.exec();
}

} // namespace morvane
