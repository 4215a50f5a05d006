#pragma once
// The program's prompts: Qt message boxes and modal dialogs, parented to the given window; the
// About box shows the given version texts (which outlive the prompts). F1 in the directory
// choice opens the help, when one is given (it outlives the prompts).

#include "editor/IvxPrompts.h"

#include <QPointer>
#include <QWidget>

namespace morvane {

class IvxHelp;
class TvxResourceVersion;

class TvxQtPrompts : public IvxPrompts
{
public:
    explicit TvxQtPrompts(const TvxResourceVersion& version, QWidget* parent = nullptr, IvxHelp* help = nullptr)
        : version_(version), parent_(parent), help_(help)
    {
    }
    void SetParent(QWidget* parent) { parent_ = parent; }

    // "desc|pattern|desc|pattern" → "desc (pattern);;desc (pattern)".
    static QString QtFilter(const QString& filter);

    TvxMsgResult Message(TvxMsgKind kind, const QString& caption, const QString& text,
                         TvxMsgButtons buttons) override;
    bool MessageWithAction(const QString& caption, const QString& text, const QString& action) override;
    std::optional<QString> EnterName(const QString& caption, const QString& label, const QString& proposed,
                                     bool englishForm) override;
    std::optional<QString> EnterNameWithList(const QString& caption, const QString& label, const QString& listLabel,
                                             const QStringList& items) override;
    std::optional<QString> EnterPassword(const QString& caption, const QString& label) override;
    std::optional<QString> OpenFile(const TvxFileDialogOptions& options) override;
    std::optional<QString> SaveFile(const TvxFileDialogOptions& options) override;
    std::optional<QString> ChooseDirectory(const QString& start, bool allowCreate, int helpContext) override;
    bool EditField(TvxFieldDesc& field, QString& defaultValue,
                   const std::vector<TvxFieldTypeRec>& fieldTypes) override;
    void ShowCommands(const QStringList& lines) override;
    bool AskAboutReport(const QString& caption, const QString& report, const QString& question) override;
    void ShowAbout() override;

private:
    std::optional<QString> ChooseFile(const TvxFileDialogOptions& options, bool save);

    const TvxResourceVersion& version_;
    QPointer<QWidget> parent_;
    IvxHelp* help_;
};

} // namespace morvane
