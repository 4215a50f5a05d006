#include "editor/TvxAliasCommands.h"

#include "db/IvxEngine.h"
#include "db/cpDatabase.h"
#include "editor/IvxPrompts.h"
#include "editor/TvxMessages.h"
#include "views/vxRecordText.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace morvane {

namespace {

constexpr int vxLblPasswordTitle = 10028;
constexpr int vxLblPasswordLabel = 10029;

} // namespace

TvxAliasCommands::TvxAliasCommands(const Controls& controls, IvxEngine& engine, TvxDatabase& database,
                                   TvxDBScript& script, TvxScriptTableList& newTables, IvxPrompts& prompts,
                                   TvxMessages& messages, TvxDocumentState& document)
    : controls_(controls), engine_(engine), database_(database), script_(script), newTables_(newTables),
      prompts_(prompts), messages_(messages), document_(document)
{}

void TvxAliasCommands::FillAliasList()
{
    const TvxStringList names = engine_.Session(vxSession).AliasNames();
    controls_.ComboAlias->clear();
    for (const auto& name : names)
        controls_.ComboAlias->addItem(RecordTextToQString(name));
    controls_.ComboAlias->setCurrentIndex(-1);
}

// To come: opens the source database of the script's "Add alias" command, or closes it.
void TvxAliasCommands::mnOpenDatabaseClick() {}

// To come: as the "..." of the "Alias" tab.
void TvxAliasCommands::mnAliasAddPathClick() {}

// To come: asks for a new alias name and records "Add new alias" with it.
void TvxAliasCommands::mnAliasNewAddClick() {}

// To come: records an empty "Add new alias", which removes the recorded one.
void TvxAliasCommands::mnAliasNewDeleteClick() {}

// To come: points the source database at the chosen alias and records "Add alias".
void TvxAliasCommands::ComboAliasChange() {}

// To come: asks for a directory and records it as the source or the target database.
void TvxAliasCommands::BtnPathAliasClick(bool) {}

// To come: asks for the selected new table's password and records, changes or removes "Add password".
void TvxAliasCommands::SpdBtnPWClick() {}

void TvxAliasCommands::DatabaseConnected(bool Value)
{
    controls_.mnOpenDatabase->setText(Value ? QStringLiteral("&Close Database") : QStringLiteral("&Open Database"));
    controls_.mnAliasAddPath->setEnabled(!Value);
    controls_.ComboAlias->setEnabled(!Value);
    controls_.BtnPath->setEnabled(!Value);
}

bool TvxAliasCommands::DatabasePassword()
{
    const auto password = prompts_.EnterPassword(TvxMessages::LoadMessage(vxLblPasswordTitle),
                                                 TvxMessages::LoadMessage(vxLblPasswordLabel));
    if (!password)
        return false;
    database_.Session().AddPassword(QStringToRecordText(*password));
    return true;
}

void TvxAliasCommands::ClearAliasFields()
{
    controls_.ComboAlias->setCurrentIndex(-1);
    controls_.EditPath->clear();
    controls_.EditNewAlias->clear();
    controls_.EditNewDrive->clear();
    controls_.EditNewPath->clear();
}

// To come: points the source database at the command's source, opens it and shows it.
void TvxAliasCommands::AliasLoaded(const TvxCommand&) {}

// To come: shows the command's target database in the "Novo Alias" tab.
void TvxAliasCommands::NewAliasLoaded(const TvxCommand&) {}

} // namespace morvane
