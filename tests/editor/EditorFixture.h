#pragma once
// The real main window for the tests of the editor's commands: a real engine over copies of
// sample tables (opened as the source database), scripted prompts, and the texts of the
// message boxes the window showed.

#include "db/cpDatabase.h"
#include "db/IvxEngine.h"
#include "editor/fmDBScriptPOR.h"
#include "editor/IvxHelp.h"
#include "editor/TvxScriptedPrompts.h"
#include "editor/vxStrings.h"
#include "model/clvxTableDesc.h"
#include "script/TvxScriptTableList.h"
#include "views/cpDataSetListBox.h"

#include <QAction>
#include <QStringList>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/SamplePath.h"
#include "support/TempDir.h"

namespace morvane::test {

class NoHelp : public IvxHelp
{
public:
    void ShowContext(int) override {}
    void ShowSearch() override {}
    void Quit() override {}
};

// Every file of the named tables' families in a sample set ("pd-joins", {"two", "fk4"}).
inline std::vector<std::string> Families(const std::string& set, const QStringList& tables)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(SamplePath(set))) {
        const QString name = QString::fromStdString(entry.path().filename().string());
        for (const QString& table : tables)
            if (name.section(QLatin1Char('.'), 0, 0).compare(table, Qt::CaseInsensitive) == 0 &&
                !name.endsWith(QLatin1String(".md")))
                files.push_back(set + "/" + entry.path().filename().string());
    }
    return files;
}

// The text of a string id, as a message box shows it.
inline QString Text(int id)
{
    return vxLoadString(id);
}

// The real main window over a real engine, its questions answered by scripted prompts.
struct ScriptedWindow
{
    TempDir dir;
    std::unique_ptr<IvxEngine> engine;
    TvxScriptedPrompts* prompts = nullptr;
    std::unique_ptr<TFormDBScriptPOR> window;

    // The engine keeps its aliases in that file of dir.
    void Create(const std::string& aliasFile)
    {
        engine = CreateParadoxEngine(dir.file(aliasFile));
        auto scripted = std::make_unique<TvxScriptedPrompts>();
        prompts = scripted.get();
        window = std::make_unique<TFormDBScriptPOR>(*engine, std::move(scripted), std::make_unique<NoHelp>());
    }

    TFormDBScript& w() const { return *window; }

    // Selects the source table of that name (letter case ignored); false when there is none.
    bool SelectCurrent(const QString& name) const
    {
        TvxDataSetListBox& list = *window->DataSetList;
        for (int i = 0; i < list.count(); ++i)
            if (QString::fromStdString(list.NameAt(i)).compare(name, Qt::CaseInsensitive) == 0) {
                list.SelectIndex(i);
                return true;
            }
        return false;
    }
};

struct EditorWindow : ScriptedWindow
{
    // The tables of a sample set (as Families names them), copied into the source directory.
    EditorWindow(const std::string& set, const QStringList& tables)
    {
        dir.copySamples(Families(set, tables));
        Create("aliases.conf");
        window->Database().SetPath(dir.str());
        window->Database().SetConnected(true);
    }

    TvxScriptTableList& tables() const { return window->ScriptTableList(); }
    TvxTableDesc& selected() const { return *tables().SelectedTable(); }

    // "&Tabela" › "&Incluir" of the source table of that name under the same name, then the new
    // table selected. missingMasters: how many masters of its rules the new structure lacks
    // (each is asked about once; OK drops the rules on it).
    void AddTable(const QString& name, int missingMasters = 0) const
    {
        QVERIFY2(SelectCurrent(name), qPrintable(name));
        for (int i = 0; i < missingMasters; ++i)
            prompts->QueueMessageAnswer(TvxMsgResult::Ok);
        prompts->QueueText(name);
        window->mnTableAdd->trigger();
        QCOMPARE(prompts->Unanswered(), 0);
        ClearMessages();
        SelectNew(name);
    }

    // Selects the new table of that name.
    void SelectNew(const QString& name) const
    {
        const int index = tables().IndexOfName(name.toStdString());
        QVERIFY2(index >= 0, qPrintable(name));
        tables().SelectIndex(index);
    }

    // Texts of the message boxes shown since the last call.
    QStringList Messages() const
    {
        QStringList texts;
        for (const TvxPromptCall& call : prompts->Calls())
            if (call.what == QLatin1String("Message"))
                texts << call.text;
        prompts->ClearCalls();
        return texts;
    }
    void ClearMessages() const { prompts->ClearCalls(); }
};

} // namespace morvane::test
