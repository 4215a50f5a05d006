#include "editor/TvxQtPrompts.h"

#include "editor/IvxHelp.h"
#include "editor/fmEditFields.h"
#include "views/TvxDirectoryDialog.h"
#include "views/TvxReportDialog.h"
#include "views/fmAboutPOR.h"
#include "views/fmNameEnterPOR.h"
#include "views/fmNameListEnterPOR.h"
#include "views/fmPasswordEnterPOR.h"
#include "views/fmShowComm.h"

#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

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

bool TvxQtPrompts::MessageWithAction(const QString& caption, const QString& text, const QString& action)
{
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, parent_);
    QPushButton* extra = box.addButton(action, QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == extra;
}

std::optional<QString> TvxQtPrompts::EnterName(const QString& caption, const QString& label, const QString& proposed,
                                               bool englishForm)
{
    std::unique_ptr<TFormNameEnter> dialog;
    if (englishForm)
        dialog = std::make_unique<TFormNameEnter>(parent_, label, caption);
    else
        dialog = std::make_unique<TFormNameEnterPOR>(parent_, label, caption);
    dialog->SetEnteredText(proposed);
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog->EnteredText();
}

std::optional<QString> TvxQtPrompts::EnterNameWithList(const QString& caption, const QString& label,
                                                       const QString& listLabel, const QStringList& items)
{
    TFormNameListEnterPOR dialog(parent_, items, listLabel, label, caption);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.EnteredText();
}

std::optional<QString> TvxQtPrompts::EnterPassword(const QString& caption, const QString& label)
{
    TFormPasswordEnterPOR dialog(parent_, label, caption);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.EnteredText();
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
    if (!options.directory.isEmpty())
        dialog.setDirectory(options.directory);
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

std::optional<QString> TvxQtPrompts::ChooseDirectory(const QString& start, bool allowCreate, int helpContext)
{
    TvxDirectoryDialog dialog(parent_, start, allowCreate);
    if (help_)
        dialog.OnHelp = [this, helpContext] { help_->ShowContext(helpContext); };
    if (dialog.exec() != QDialog::Accepted || dialog.ChosenDirectory().isEmpty())
        return std::nullopt;
    return dialog.ChosenDirectory();
}

bool TvxQtPrompts::EditField(TvxFieldDesc& field, QString& defaultValue,
                             const std::vector<TvxFieldTypeRec>& fieldTypes)
{
    TFormEditFieldPOR dialog(parent_);
    return dialog.EditField(field, defaultValue, fieldTypes) == QDialog::Accepted;
}

void TvxQtPrompts::ShowCommands(const QStringList& lines)
{
    TFormShowComm dialog(parent_);
    dialog.SetLines(lines);
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
