#include "editor/TvxMessages.h"

#include "db/EvxEngineError.h"
#include "editor/vxStrings.h"
#include "model/vxCodePage.h"
#include "views/vxRecordText.h"

#include <QCoreApplication>
#include <QStringList>

namespace morvane {

QString TvxMessages::LoadMessage(int id)
{
    return vxLoadString(id);
}

QString TvxMessages::FormatMessage(const QString& text, const QString& argument)
{
    QString result;
    result.reserve(text.size() + argument.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('%') && i + 1 < text.size()) {
            const QChar next = text[i + 1];
            if (next == QLatin1Char('s') || next == QLatin1Char('S')) {
                result += argument;
                ++i;
                continue;
            }
            if (next == QLatin1Char('%')) {
                result += next;
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

namespace {

QString WithAdvice(const QString& text, const QString& advice)
{
    return advice.isEmpty() ? text : text + QLatin1Char('\n') + advice;
}

} // namespace

void TvxMessages::ShowMessageCode(int id, const QString& advice)
{
    QString text = LoadMessage(id);
    if (text.isEmpty())
        text = LoadMessage(vxMsgUnknownError);
    text = WithAdvice(text, advice);
    prompts_.Message(TvxMsgKind::Information, QCoreApplication::applicationName(), text, TvxMsgButtons::Ok);
}

TvxMsgResult TvxMessages::AskMessage(int id, const QString& argument, TvxMsgButtons buttons, const QString& advice)
{
    const QString text = LoadMessage(id);
    const QString caption = QCoreApplication::applicationName();
    if (text.isEmpty()) {
        prompts_.Message(TvxMsgKind::Information, caption, LoadMessage(vxMsgUnknownError), TvxMsgButtons::Ok);
        return TvxMsgResult::Cancel;
    }
    const TvxMsgKind kind = buttons == TvxMsgButtons::Ok ? TvxMsgKind::Information : TvxMsgKind::Question;
    return prompts_.Message(kind, caption, WithAdvice(FormatMessage(text, argument), advice), buttons);
}

namespace {

// Messages are UTF-8; one that is not (a table's name in its own bytes) is read as the bytes of
// a new table, never shown with replacement characters.
QString MessageText(const std::string& message)
{
    return IsUtf8(message) ? QString::fromStdString(message) : RecordTextToQString(message);
}

} // namespace

void TvxMessages::ShowFailure(const std::exception& failure)
{
    QString text;
    if (const auto* engineError = dynamic_cast<const EvxEngineError*>(&failure)) {
        QStringList lines;
        for (const auto& item : engineError->Errors())
            lines << MessageText(item.message);
        text = lines.join(QLatin1Char('\n'));
    }
    if (text.isEmpty())
        text = MessageText(failure.what());
    prompts_.Message(TvxMsgKind::Error, QCoreApplication::applicationName(), text, TvxMsgButtons::Ok);
}

} // namespace morvane
