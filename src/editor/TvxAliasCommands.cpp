#include "editor/TvxAliasCommands.h"

#include "db/IvxEngine.h"
#include "db/cpDatabase.h"
#include "editor/fmDBScript.h"
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

void TvxAliasCommands::FillAliasList()
{
    const TvxStringList names = window_.Engine().Session(vxSession).AliasNames();
    window_.ComboAlias->clear();
    for (const auto& name : names)
        window_.ComboAlias->addItem(RecordTextToQString(name));
    window_.ComboAlias->setCurrentIndex(-1);
}

void TvxAliasCommands::DatabaseConnected(bool connected)
{
    window_.mnOpenDatabase->setText(connected ? QStringLiteral("&Close Database") : QStringLiteral("&Open Database"));
    window_.mnAliasAddPath->setEnabled(!connected);
    window_.ComboAlias->setEnabled(!connected);
    window_.BtnPath->setEnabled(!connected);
}

bool TvxAliasCommands::DatabasePassword()
{
    const auto password = window_.Prompts().EnterPassword(TFormDBScript::LoadMessage(vxLblPasswordTitle),
                                                          TFormDBScript::LoadMessage(vxLblPasswordLabel));
    if (!password)
        return false;
    window_.Database().Session().AddPassword(QStringToRecordText(*password));
    return true;
}

void TvxAliasCommands::ClearAliasFields()
{
    window_.ComboAlias->setCurrentIndex(-1);
    window_.EditPath->clear();
    window_.EditNewAlias->clear();
    window_.EditNewDrive->clear();
    window_.EditNewPath->clear();
}

} // namespace morvane
