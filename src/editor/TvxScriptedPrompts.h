#pragma once
// Prompts for tests: answers come from queues filled beforehand, every question is recorded.
// With its queue empty a message box answers Ok when it offers only OK and Cancel otherwise;
// dialogs answer cancelled. Each such fallback is counted in Unanswered().

#include "editor/IvxPrompts.h"

#include <deque>
#include <functional>

namespace morvane {

struct TvxPromptCall
{
    QString what;          // "Message", "EnterName", "EnterNameWithList", "EnterPassword", "OpenFile",
                           // "SaveFile", "ChooseDirectory", "EditField", "ShowCommands", "ShowAbout",
                           // "AskAboutReport" (text: the question; extra: the report),
                           // "MessageWithAction" (extra: the action; answered Yes: pressed)
    QString caption;       // message/dialog caption; the filter for file dialogs; the start directory
    QString text;          // message text or entry label
    QStringList extra;     // list items, command lines, proposed name and start directory
    TvxMsgKind kind = TvxMsgKind::Information;
    TvxMsgButtons buttons = TvxMsgButtons::Ok;
    bool flag = false;     // englishForm / allowCreate / overwritePrompt
};

class TvxScriptedPrompts : public IvxPrompts
{
public:
    using FieldAnswer = std::function<bool(TvxFieldDesc&, QString&)>;

    void QueueMessageAnswer(TvxMsgResult answer) { messageAnswers_.push_back(answer); }
    // For names, passwords, file names and directories, in the order they are asked.
    void QueueText(std::optional<QString> answer) { textAnswers_.push_back(std::move(answer)); }
    void QueueFieldAnswer(FieldAnswer answer) { fieldAnswers_.push_back(std::move(answer)); }

    const std::vector<TvxPromptCall>& Calls() const { return calls_; }
    int Unanswered() const { return unanswered_; }
    void ClearCalls() { calls_.clear(); }

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
    // Answered from the message answers: Yes goes on.
    bool AskAboutReport(const QString& caption, const QString& report, const QString& question) override;
    void ShowAbout() override;

private:
    std::optional<QString> NextText();

    std::deque<TvxMsgResult> messageAnswers_;
    std::deque<std::optional<QString>> textAnswers_;
    std::deque<FieldAnswer> fieldAnswers_;
    std::vector<TvxPromptCall> calls_;
    int unanswered_ = 0;
};

} // namespace morvane
