#pragma once
// TvxDiagramTexts: the words a diagram shows besides the names (UTF-8). The defaults are the
// program's Portuguese texts; the editor fills them from its string table.

#include <string>

namespace morvane {

struct TvxDiagramTexts
{
    std::string keyMark = "PK";      // beside a key field
    std::string indexMark = "IX";    // beside a field of a secondary index
    std::string indexes = "índices"; // "3 índices" in a table's heading
    std::string protectedTable = "protegida";
    std::string missingTable = "ausente";
    std::string updateRule = "atualização";
    std::string cascade = "cascata";
    std::string prohibit = "proibida";
    std::string formerly = "era";
    std::string tablesWithoutRules = "Tabelas sem integridade referencial";
    std::string legend = "Alterações do script";
    std::string added = "incluído";
    std::string removed = "removido";
    std::string renamed = "renomeado";
    std::string changed = "alterado";
};

} // namespace morvane
