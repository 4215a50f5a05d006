// The main window's menu: every menu, item and separator in order. ConnectHandlers ties each item
// to its handler.

#include "editor/fmDBScript.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace morvane {

namespace {

QMenu* AddMenu(QMenuBar* bar, const char* name)
{
    auto* menu = bar->addMenu(QString());
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction* AddItem(QMenu* menu, const char* name)
{
    auto* action = menu->addAction(QString());
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

void TFormDBScript::BuildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    mnFile = AddMenu(bar, "mnFile");
    mnNew = AddItem(mnFile, "mnNew");
    mnOpen = AddItem(mnFile, "mnOpen");
    mnSave = AddItem(mnFile, "mnSave");
    mnSaveAs = AddItem(mnFile, "mnSaveAs");
    mnScriptCompare = AddItem(mnFile, "mnScriptCompare");
    mnFile->addSeparator();
    mnScriptCreate = AddItem(mnFile, "mnScriptCreate");
    mnScriptExecute = AddItem(mnFile, "mnScriptExecute");
    mnScriptClear = AddItem(mnFile, "mnScriptClear");
    mnCommands = AddItem(mnFile, "mnCommands");
    mnCommands->setVisible(false);
    mnFile->addSeparator();
    mnRecent = mnFile->addMenu(QString());
    mnRecent->setObjectName(QStringLiteral("mnRecent"));
    mnFile->addSeparator();
    mnExit = AddItem(mnFile, "mnExit");

    mnEdit = AddMenu(bar, "mnEdit");
    mnUndo = AddItem(mnEdit, "mnUndo");
    mnRedo = AddItem(mnEdit, "mnRedo");

    mnAliases = AddMenu(bar, "mnAliases");
    mnOpenDatabase = AddItem(mnAliases, "mnOpenDatabase");
    mnAliasAddPath = AddItem(mnAliases, "mnAliasAddPath");
    mnAliasNewAdd = AddItem(mnAliases, "mnAliasNewAdd");
    mnAliasNewDelete = AddItem(mnAliases, "mnAliasNewDelete");

    mnTable = AddMenu(bar, "mnTable");
    mnTableNew = AddItem(mnTable, "mnTableNew");
    mnTableChange = AddItem(mnTable, "mnTableChange");
    mnTableAdd = AddItem(mnTable, "mnTableAdd");
    mnTableDelete = AddItem(mnTable, "mnTableDelete");
    mnTable->addSeparator();
    mnDiagram = AddItem(mnTable, "mnDiagram");

    mnFields = AddMenu(bar, "mnFields");
    mnFieldAdd = AddItem(mnFields, "mnFieldAdd");
    mnFieldChange = AddItem(mnFields, "mnFieldChange");
    mnFieldMove = AddItem(mnFields, "mnFieldMove");
    mnFieldDelete = AddItem(mnFields, "mnFieldDelete");

    mnIndexes = AddMenu(bar, "mnIndexes");
    mnIdxAdd = AddItem(mnIndexes, "mnIdxAdd");
    mnIdxDel = AddItem(mnIndexes, "mnIdxDel");
    mnIndexes->addSeparator();
    mnIdxAddField = AddItem(mnIndexes, "mnIdxAddField");
    mnIdxDelField = AddItem(mnIndexes, "mnIdxDelField");
    mnIdxMoveUp = AddItem(mnIndexes, "mnIdxMoveUp");
    mnIdxMoveDown = AddItem(mnIndexes, "mnIdxMoveDown");

    mnRefInt = AddMenu(bar, "mnRefInt");
    mnRIntAdd = AddItem(mnRefInt, "mnRIntAdd");
    mnRIntDel = AddItem(mnRefInt, "mnRIntDel");
    mnRefInt->addSeparator();
    mnRIntAddField = AddItem(mnRefInt, "mnRIntAddField");
    mnRIntDelField = AddItem(mnRefInt, "mnRIntDelField");

    mnHelp = AddMenu(bar, "mnHelp");
    mnHelpContents = AddItem(mnHelp, "mnHelpContents");
    mnHelp->addSeparator();
    mnHelpAbout = AddItem(mnHelp, "mnHelpAbout");

    // The desktop's keys for the commands every editor has.
    mnNew->setShortcuts(QKeySequence::New);
    mnOpen->setShortcuts(QKeySequence::Open);
    mnSave->setShortcuts(QKeySequence::Save);
    mnSaveAs->setShortcuts(QKeySequence::SaveAs);
    // Desktops without a key of their own for "save as" share this one.
    if (mnSaveAs->shortcuts().isEmpty())
        mnSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    mnUndo->setShortcuts(QKeySequence::Undo);
    mnRedo->setShortcuts(QKeySequence::Redo);
    mnHelpContents->setShortcuts(QKeySequence::HelpContents);
}

} // namespace morvane
