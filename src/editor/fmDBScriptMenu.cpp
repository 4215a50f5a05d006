// The main window's menu: every menu, item and separator in order, each item tied to its handler.

#include "editor/fmDBScript.h"

#include <QAction>
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

template <class Slot>
QAction* AddItem(QMenu* menu, const char* name, TFormDBScript* window, Slot slot)
{
    auto* action = menu->addAction(QString());
    action->setObjectName(QLatin1String(name));
    QObject::connect(action, &QAction::triggered, window, slot);
    return action;
}

} // namespace

void TFormDBScript::BuildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    mnFile = AddMenu(bar, "mnFile");
    mnNew = AddItem(mnFile, "mnNew", this, &TFormDBScript::mnNewClick);
    mnOpen = AddItem(mnFile, "mnOpen", this, &TFormDBScript::mnOpenClick);
    mnSave = AddItem(mnFile, "mnSave", this, &TFormDBScript::mnSaveClick);
    mnSaveAs = AddItem(mnFile, "mnSaveAs", this, &TFormDBScript::mnSaveAsClick);
    mnFile->addSeparator();
    mnScriptCreate = AddItem(mnFile, "mnScriptCreate", this, &TFormDBScript::mnScriptCreateClick);
    mnScriptExecute = AddItem(mnFile, "mnScriptExecute", this, &TFormDBScript::mnScriptExecuteClick);
    mnScriptClear = AddItem(mnFile, "mnScriptClear", this, &TFormDBScript::mnScriptClearClick);
    mnCommands = AddItem(mnFile, "mnCommands", this, &TFormDBScript::mnCommandsClick);
    mnCommands->setVisible(false);
    mnFile->addSeparator();
    mnExit = AddItem(mnFile, "mnExit", this, &TFormDBScript::mnExitClick);

    mnAliases = AddMenu(bar, "mnAliases");
    mnOpenDatabase = AddItem(mnAliases, "mnOpenDatabase", this, &TFormDBScript::mnOpenDatabaseClick);
    mnAliasAddPath = AddItem(mnAliases, "mnAliasAddPath", this, &TFormDBScript::mnAliasAddPathClick);
    mnAliasNewAdd = AddItem(mnAliases, "mnAliasNewAdd", this, &TFormDBScript::mnAliasNewAddClick);
    mnAliasNewDelete = AddItem(mnAliases, "mnAliasNewDelete", this, &TFormDBScript::mnAliasNewDeleteClick);

    mnTable = AddMenu(bar, "mnTable");
    mnTableNew = AddItem(mnTable, "mnTableNew", this, &TFormDBScript::mnTableNewClick);
    mnTableChange = AddItem(mnTable, "mnTableChange", this, &TFormDBScript::mnTableChangeClick);
    mnTableAdd = AddItem(mnTable, "mnTableAdd", this, &TFormDBScript::mnTableAddClick);
    mnTableDelete = AddItem(mnTable, "mnTableDelete", this, &TFormDBScript::mnTableDeleteClick);

    mnFields = AddMenu(bar, "mnFields");
    mnFieldAdd = AddItem(mnFields, "mnFieldAdd", this, &TFormDBScript::mnFieldAddClick);
    mnFieldChange = AddItem(mnFields, "mnFieldChange", this, &TFormDBScript::mnFieldChangeClick);
    mnFieldMove = AddItem(mnFields, "mnFieldMove", this, &TFormDBScript::mnFieldMoveClick);
    mnFieldDelete = AddItem(mnFields, "mnFieldDelete", this, &TFormDBScript::mnFieldDeleteClick);

    mnIndexes = AddMenu(bar, "mnIndexes");
    mnIdxAdd = AddItem(mnIndexes, "mnIdxAdd", this, &TFormDBScript::SpdBtnIdxAddClick);
    mnIdxDel = AddItem(mnIndexes, "mnIdxDel", this, &TFormDBScript::SpdBtnIdxDelClick);
    mnIndexes->addSeparator();
    mnIdxAddField = AddItem(mnIndexes, "mnIdxAddField", this, &TFormDBScript::SpdBtnIdxAddFieldClick);
    mnIdxDelField = AddItem(mnIndexes, "mnIdxDelField", this, &TFormDBScript::SpdBtnIdxDelFieldClick);
    // The move items act as the buttons they stand for: the handler tells the two apart by sender.
    mnIdxMoveUp = AddItem(mnIndexes, "mnIdxMoveUp", this, &TFormDBScript::SpdBtnIdxMoveClick);
    mnIdxMoveDown = AddItem(mnIndexes, "mnIdxMoveDown", this, &TFormDBScript::SpdBtnIdxMoveClick);

    mnRefInt = AddMenu(bar, "mnRefInt");
    mnRIntAdd = AddItem(mnRefInt, "mnRIntAdd", this, &TFormDBScript::SpdBtnRIntAddClick);
    mnRIntDel = AddItem(mnRefInt, "mnRIntDel", this, &TFormDBScript::SpdBtnRIntDelClick);
    mnRefInt->addSeparator();
    mnRIntAddField = AddItem(mnRefInt, "mnRIntAddField", this, &TFormDBScript::SpdBtnRIntFieldAddClick);
    mnRIntDelField = AddItem(mnRefInt, "mnRIntDelField", this, &TFormDBScript::SpdBtnRIntFieldDelClick);

    mnHelp = AddMenu(bar, "mnHelp");
    mnHelpContents = AddItem(mnHelp, "mnHelpContents", this, &TFormDBScript::mnHelpContentsClick);
    mnHelp->addSeparator();
    mnHelpAbout = AddItem(mnHelp, "mnHelpAbout", this, &TFormDBScript::mnHelpAboutClick);
}

} // namespace morvane
