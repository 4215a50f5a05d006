#pragma once
// The program's numbered string table (pt-BR): descriptor codes 0-21, editor messages 101-127,
// execution texts 293-306 (the update server's result codes), labels 10001-10029, the editor's
// own texts from 10100 (notices, questions, reports) and the diagram window's texts 10201-10224.
// An id without a string gives the empty text.

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
// The diagram window: its title, its actions, the export filters, the view's and the tool
// bar's names; 10211-10223 are the words drawn in the diagram (DiagramTextsFromStrings).
inline constexpr int vxStrDiagram = 10201;
inline constexpr int vxStrDiagramZoomIn = 10202;
inline constexpr int vxStrDiagramZoomOut = 10203;
inline constexpr int vxStrDiagramFit = 10204;
inline constexpr int vxStrDiagramExportPng = 10205;
inline constexpr int vxStrDiagramExportSvg = 10206;
inline constexpr int vxStrDiagramPrint = 10207;
inline constexpr int vxStrDiagramPngFilter = 10208;
inline constexpr int vxStrDiagramSvgFilter = 10209;
inline constexpr int vxStrDiagramView = 10210;
inline constexpr int vxStrDiagramToolBar = 10224;

QString vxLoadString(int id);
// Every id that has a string, ascending.
std::vector<int> vxStringIds();

} // namespace morvane
