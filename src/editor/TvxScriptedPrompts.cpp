#include "editor/TvxScriptedPrompts.h"

namespace morvane {

std::optional<QString> TvxScriptedPrompts::NextText()
{
    if (textAnswers_.empty()) {
        ++unanswered_;
        return std::nullopt;
    }
    const bool given = textAnswers_.front().has_value();
    const QString text = given ? *textAnswers_.front() : QString();
    textAnswers_.pop_front();
    return given ? std::optional<QString>(text) : std::nullopt;
}

TvxMsgResult TvxScriptedPrompts::Message(TvxMsgKind kind, const QString& caption, const QString& text,
                                         TvxMsgButtons buttons)
{
    calls_.push_back({QStringLiteral("Message"), caption, text, {}, kind, buttons, false});
    if (messageAnswers_.empty()) {
        if (buttons == TvxMsgButtons::Ok)
            return TvxMsgResult::Ok;
        ++unanswered_;
        return TvxMsgResult::Cancel;
    }
    const TvxMsgResult answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
}

bool TvxScriptedPrompts::MessageWithAction(const QString& caption, const QString& text, const QString& action)
{
    calls_.push_back({QStringLiteral("MessageWithAction"), caption, text, {action}, TvxMsgKind::Information,
                      TvxMsgButtons::Ok, false});
    if (messageAnswers_.empty())
        return false;
    const TvxMsgResult answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer == TvxMsgResult::Yes;
}

std::optional<QString> TvxScriptedPrompts::EnterName(const QString& caption, const QString& label,
                                                     const QString& proposed, bool englishForm)
{
    calls_.push_back({QStringLiteral("EnterName"), caption, label, {proposed}, {}, {}, englishForm});
    return NextText();
}

std::optional<QString> TvxScriptedPrompts::EnterNameWithList(const QString& caption, const QString& label,
                                                             const QString& listLabel, const QStringList& items)
{
    QStringList extra{listLabel};
    extra += items;
    calls_.push_back({QStringLiteral("EnterNameWithList"), caption, label, extra, {}, {}, false});
    return NextText();
}

std::optional<QString> TvxScriptedPrompts::EnterPassword(const QString& caption, const QString& label)
{
    calls_.push_back({QStringLiteral("EnterPassword"), caption, label, {}, {}, {}, false});
    return NextText();
}

std::optional<QString> TvxScriptedPrompts::OpenFile(const TvxFileDialogOptions& options)
{
    calls_.push_back({QStringLiteral("OpenFile"), options.filter, options.defaultSuffix,
                      {options.fileName, options.directory}, {}, {},
                      options.overwritePrompt});
    return NextText();
}

std::optional<QString> TvxScriptedPrompts::SaveFile(const TvxFileDialogOptions& options)
{
    calls_.push_back({QStringLiteral("SaveFile"), options.filter, options.defaultSuffix,
                      {options.fileName, options.directory}, {}, {},
                      options.overwritePrompt});
    return NextText();
}

std::optional<QString> TvxScriptedPrompts::ChooseDirectory(const QString& start, bool allowCreate, int helpContext)
{
    calls_.push_back({QStringLiteral("ChooseDirectory"), start, QString::number(helpContext), {}, {}, {},
                      allowCreate});
    return NextText();
}

bool TvxScriptedPrompts::EditField(TvxFieldDesc& field, QString& defaultValue,
                                   const std::vector<TvxFieldTypeRec>& fieldTypes)
{
    calls_.push_back({QStringLiteral("EditField"), {}, QString::fromLatin1(field.name()),
                      {defaultValue, QString::number(fieldTypes.size())}, {}, {}, false});
    if (fieldAnswers_.empty()) {
        ++unanswered_;
        return false;
    }
    FieldAnswer answer = std::move(fieldAnswers_.front());
    fieldAnswers_.pop_front();
    return answer(field, defaultValue);
}

void TvxScriptedPrompts::ShowCommands(const QStringList& lines)
{
    calls_.push_back({QStringLiteral("ShowCommands"), {}, {}, lines, {}, {}, false});
}

bool TvxScriptedPrompts::AskAboutReport(const QString& caption, const QString& report, const QString& question)
{
    calls_.push_back({QStringLiteral("AskAboutReport"), caption, question, {report}, TvxMsgKind::Question,
                      TvxMsgButtons::YesNoCancel, false});
    if (messageAnswers_.empty()) {
        ++unanswered_;
        return false;
    }
    const TvxMsgResult answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer == TvxMsgResult::Yes;
}

void TvxScriptedPrompts::ShowAbout()
{
    calls_.push_back({QStringLiteral("ShowAbout"), {}, {}, {}, {}, {}, false});
}

} // namespace morvane
