#pragma once
// The program's numbered string table (pt-BR): descriptor codes 0-21, editor messages 101-125,
// execution texts 293-306 (the update server's result codes) and labels 10001-10029. An id without a string gives the empty text.

#include <QString>

#include <vector>

namespace morvane {

// Ids the window itself refers to by name; commands use the numbers their messages carry.
inline constexpr int vxMsgUnknownError = 0;        // "ERRO DESCONHECIDO. Informe ao suporte"
inline constexpr int vxMsgNoTableSelected = 101;
inline constexpr int vxMsgNoNewTableSelected = 102;
inline constexpr int vxMsgFileSaved = 123;
inline constexpr int vxMsgScriptsCreated = 124;
inline constexpr int vxMsgScriptChangedSave = 10019;

QString vxLoadString(int id);
// Every id that has a string, ascending.
std::vector<int> vxStringIds();

} // namespace morvane
