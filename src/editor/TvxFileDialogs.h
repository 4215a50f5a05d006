#pragma once
// TvxFileDialogs: the main window's three file dialogs with their filters and default
// extension: documents to open and save, update and maintenance scripts to execute.

#include "editor/IvxPrompts.h"

namespace morvane {

struct TvxFileDialogs
{
    TvxFileDialogOptions Open{
        QStringLiteral("Arquivos do Morvane (vxscript)|*.vxscript"), QStringLiteral("vxscript"), {}, false, {}};
    TvxFileDialogOptions Save{
        QStringLiteral("Arquivos do Morvane (vxscript)|*.vxscript"), QStringLiteral("vxscript"), {}, true, {}};
    TvxFileDialogOptions OpenScripts{
        QStringLiteral("Scrip de atualização (VXUSP)|*.vxusp|Scrip de manuntenção (VXMSP)|*.vxmsp"), {}, {}, false, {}};
};

} // namespace morvane
