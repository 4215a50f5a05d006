#pragma once
// Every modal question the editor asks goes through this interface: message boxes, the name,
// name-and-list and password dialogs, file and directory choice, the field dialog, the command
// list and the About box. The program shows Qt dialogs (TvxQtPrompts); tests answer from a
// script and read back what was asked (TvxScriptedPrompts). A dialog answers nullopt or false
// when cancelled.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "model/TvxFieldDesc.h"
#include "model/TvxFieldTypeRec.h"

namespace morvane {

enum class TvxMsgKind { Information, Warning, Error, Question };
enum class TvxMsgButtons { Ok, OkCancel, YesNoCancel };
enum class TvxMsgResult { Ok, Cancel, Yes, No };

// A file dialog. The filter is written as the program's texts give it: pairs of description
// and pattern separated by "|" ("Arquivos do Morvane (vxscript)|*.vxscript").
struct TvxFileDialogOptions
{
    QString filter;
    QString defaultSuffix;   // without the dot; empty for none
    QString fileName;        // proposed file name
    bool overwritePrompt = false;
    QString directory;       // where the dialog starts when no file name is proposed; empty: anywhere
};

class IvxPrompts
{
public:
    virtual ~IvxPrompts() = default;

    virtual TvxMsgResult Message(TvxMsgKind kind, const QString& caption, const QString& text,
                                 TvxMsgButtons buttons) = 0;
    // An information box with OK and one more button captioned action; true when that one was pressed.
    virtual bool MessageWithAction(const QString& caption, const QString& text, const QString& action) = 0;

    // Name entry; englishForm: the base form, whose Cancel button reads "Cancel".
    virtual std::optional<QString> EnterName(const QString& caption, const QString& label, const QString& proposed,
                                             bool englishForm = false) = 0;
    // Name entry with a sorted drop-down list below; only the name is given back.
    virtual std::optional<QString> EnterNameWithList(const QString& caption, const QString& label,
                                                     const QString& listLabel, const QStringList& items) = 0;
    virtual std::optional<QString> EnterPassword(const QString& caption, const QString& label) = 0;

    virtual std::optional<QString> OpenFile(const TvxFileDialogOptions& options) = 0;
    virtual std::optional<QString> SaveFile(const TvxFileDialogOptions& options) = 0;
    // allowCreate: a directory typed that does not exist may be given back (the caller asks
    // before creating it); otherwise only an existing directory is.
    virtual std::optional<QString> ChooseDirectory(const QString& start, bool allowCreate, int helpContext) = 0;

    // The field dialog: edits the record's name, type and size and the default value; true on OK.
    virtual bool EditField(TvxFieldDesc& field, QString& defaultValue,
                           const std::vector<TvxFieldTypeRec>& fieldTypes) = 0;

    virtual void ShowCommands(const QStringList& lines) = 0;
    // A report to read (plain text, scrollable) with a question under it; true when answered Yes.
    virtual bool AskAboutReport(const QString& caption, const QString& report, const QString& question) = 0;
    virtual void ShowAbout() = 0;
};

} // namespace morvane
