#include "script/vxScriptCreate.h"

#include "model/vxNameRules.h"
#include "script/TvxScriptTableList.h"
#include "script/vxUpdateScriptFile.h"

namespace morvane {

namespace {

// Without the blanks and control characters around it.
std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

} // namespace

TvxScriptFileNames ScriptFileNames(std::string_view documentFileName)
{
    const std::string base = ScriptFileBase(Trimmed(documentFileName));
    return {base + vxUpdateScriptExt, base + vxMaintenanceScriptExt};
}

int ScriptUpdateCreate(std::string_view documentFileName, std::string_view appName, const TvxDBScriptLoader& script)
{
    if (Trimmed(documentFileName).empty())
        return TvxScriptMsg::FileNameBlank;
    SaveUpdateScript(ScriptFileNames(documentFileName).update, appName, script);
    return 0;
}

int ScriptMaintCreate(std::string_view documentFileName, std::string_view appName, const TvxScriptTableList& tables)
{
    if (!tables.AllTablesHaveIndexFields())
        return TvxScriptMsg::IndexWithoutFields;
    if (!tables.AllTablesRefIntsComplete())
        return TvxScriptMsg::RefIntIncomplete;
    if (Trimmed(documentFileName).empty())
        return TvxScriptMsg::FileNameBlank;
    SaveMaintenanceScript(ScriptFileNames(documentFileName).maintenance, appName, tables);
    return 0;
}

int ScriptTablesCheck(const TvxScriptTableList& tables, std::string& subject)
{
    for (int i = 0; i < tables.Count(); ++i) {
        subject = tables.NameAt(i);
        if (TableNameFault(subject) != TvxNameFault::None)
            return TvxScriptMsg::TableNameNotAllowed;
        if (tables.TableAt(i)->FieldCount() == 0)
            return TvxScriptMsg::TableWithoutFields;
    }
    subject.clear();
    return 0;
}

int CreateScripts(std::string_view documentFileName, std::string_view appName, const TvxDBScriptLoader& script,
                  const TvxScriptTableList& tables, std::string* subject)
{
    std::string named;
    if (const int code = ScriptTablesCheck(tables, named)) {
        if (subject)
            *subject = named;
        return code;
    }
    if (const int code = ScriptUpdateCreate(documentFileName, appName, script))
        return code;
    if (const int code = ScriptMaintCreate(documentFileName, appName, tables))
        return code;
    return TvxScriptMsg::ScriptsCreated;
}

std::string ScriptMessageText(int id)
{
    switch (id) {
    case TvxScriptMsg::IndexWithoutFields:
        return "Alguns índices não estão com pelo menos um campo definido";
    case TvxScriptMsg::RefIntIncomplete:
        return "Existem integridades referenciais que não estão completadas";
    case TvxScriptMsg::FileNameBlank:
        return "O Nome do arquivo esta em branco";
    case TvxScriptMsg::ScriptsCreated:
        return "Os Scripts foram criados com sucesso";
    case TvxScriptMsg::TableWithoutFields:
        return "A tabela %s não tem campos";
    case TvxScriptMsg::TableNameNotAllowed:
        return "O nome de tabela não é permitido: %s";
    case TvxScriptMsg::SourceTableMissing:
        return "A tabela %s não foi encontrada no caminho atual";
    default:
        return {};
    }
}

} // namespace morvane
