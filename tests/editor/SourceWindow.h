#pragma once
// The real main window, not yet connected, over a real engine whose alias configuration names
// the example database (EXEMPLO) and, when asked, a copy of sample tables (AMOSTRA); scripted
// prompts answer its questions. For the tests of the alias, database and table commands.

#include "db/IvxEngine.h"
#include "db/cpDatabase.h"
#include "editor/TvxScriptedPrompts.h"
#include "editor/fmDBScriptPOR.h"
#include "editor/vxApplication.h"
#include "editor/vxStrings.h"
#include "model/clvxTableDesc.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "views/cpDataSetListBox.h"
#include "support/TempDir.h"
#include "EditorFixture.h"

#include <QAction>
#include <QComboBox>
#include <QStringList>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace morvane::test {

inline QString ExampleDir()
{
    return QStringLiteral(MORVANE_EXAMPLE_DIR);
}

struct SourceWindow : ScriptedWindow
{

    // samples: sample files copied into the directory of the alias AMOSTRA (none: no such alias).
    explicit SourceWindow(const std::vector<std::string>& samples = {})
    {
        QByteArray config = "[EXEMPLO]\nTYPE=STANDARD\nPATH=" + ExampleDir().toUtf8() + "\n";
        if (!samples.empty()) {
            dir.copySamples(samples);
            config += "\n[AMOSTRA]\nTYPE=STANDARD\nPATH=" + QByteArray::fromStdString(dir.str()) + "\n";
        }
        dir.write("config/aliases.conf", config.toStdString());
        Create("config/aliases.conf");
    }

    TvxScriptTableList& newTables() const { return window->ScriptTableList(); }

    // Chooses an alias in the drop-down list, as the user does.
    void ChooseAlias(const QString& alias) const
    {
        const int index = window->ComboAlias->findText(alias);
        QVERIFY2(index >= 0, qPrintable(alias));
        window->ComboAlias->setCurrentIndex(index);
        emit window->ComboAlias->activated(index);
    }

    // The alias chosen and its database opened.
    void Open(const QString& alias = QStringLiteral("EXEMPLO")) const
    {
        ChooseAlias(alias);
        window->mnOpenDatabase->trigger();
        QVERIFY(window->Database().Connected());
    }

    QStringList Commands() const
    {
        QStringList lines;
        for (const std::string& line : window->StructScript().CommandTexts())
            lines << QString::fromStdString(line);
        return lines;
    }

    QStringList CurrentTables() const
    {
        QStringList names;
        for (int i = 0; i < window->DataSetList->count(); ++i)
            names << QString::fromStdString(window->DataSetList->NameAt(i));
        return names;
    }

    QStringList NewTableNames() const
    {
        QStringList names;
        for (int i = 0; i < newTables().Count(); ++i)
            names << QString::fromStdString(newTables().NameAt(i));
        return names;
    }

    void SelectNew(const QString& name) const
    {
        newTables().SelectIndex(newTables().IndexOfName(name.toStdString()));
    }

    TvxTableDesc* NewTable(const QString& name) const { return newTables().TableByName(name.toStdString()); }

    // The questions asked since the last call, as "what: text" ("Message: ...", "EnterName: ...").
    QStringList Asked() const
    {
        QStringList asked;
        for (const TvxPromptCall& call : prompts->Calls())
            asked << call.what + QStringLiteral(": ") + call.text;
        prompts->ClearCalls();
        return asked;
    }
};

// "Message: " and the text of a string id, as Asked() lists a message box.
inline QString Shown(int id, const QString& argument = {})
{
    return QStringLiteral("Message: ") + QString(vxLoadString(id)).replace(QStringLiteral("%S"), argument);
}

} // namespace morvane::test
