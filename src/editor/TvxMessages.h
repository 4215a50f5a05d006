#pragma once
// TvxMessages: the editor's message helpers. Every text comes from the numbered string table
// and is shown through the prompts in a box captioned with the application title.

#include "editor/IvxPrompts.h"

#include <QString>

#include <exception>

namespace morvane {

class TvxMessages
{
public:
    // The prompts outlive the helpers.
    explicit TvxMessages(IvxPrompts& prompts) : prompts_(prompts) {}

    // The string of that id; empty when it has none.
    static QString LoadMessage(int id);
    // "%s" and "%S" replaced by argument; "%%" gives "%".
    static QString FormatMessage(const QString& text, const QString& argument);

    // The id's text (id 0's when it has none) in a box with an OK button; advice, when given,
    // on a line of its own below it (what concerns it and what to do).
    void ShowMessageCode(int id, const QString& advice = {});
    // The id's text with its "%s"/"%S" replaced by argument, with the given buttons; the button
    // pressed. An id without text shows id 0's text with OK and answers Cancel.
    TvxMsgResult AskMessage(int id, const QString& argument, TvxMsgButtons buttons, const QString& advice = {});
    // A failure in an error box: an engine error's messages one per line, any other its what().
    void ShowFailure(const std::exception& failure);

private:
    IvxPrompts& prompts_;
};

} // namespace morvane
