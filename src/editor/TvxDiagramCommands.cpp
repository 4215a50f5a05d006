#include "editor/TvxDiagramCommands.h"

#include "db/cpDatabase.h"
#include "editor/TvxDiagramWindow.h"
#include "editor/TvxMessages.h"
#include "script/cpDBStructScript.h"
#include "script/TvxScriptTableList.h"
#include "views/cpDataSetListBox.h"
#include "views/TvxDiagramView.h"

#include <QGuiApplication>
#include <QScopeGuard>

#include "diagram/TvxDiagramGraph.h"
#include "diagram/vxDiagramOfScript.h"
#include "diagram/vxDiagramOfTables.h"

namespace morvane {

namespace {

constexpr int vxMsgNoDatabaseOpen = 110;

} // namespace

TvxDiagramCommands::TvxDiagramCommands(QWidget* window, TvxDatabase& database, TvxDataSetListBox& currentTables,
                                       TvxScriptTableList& newTables, TvxDBScript& script, IvxPrompts& prompts,
                                       TvxMessages& messages)
    : window_(window), database_(database), currentTables_(currentTables), newTables_(newTables), script_(script),
      prompts_(prompts), messages_(messages)
{}

void TvxDiagramCommands::mnDiagramClick()
{
    if (!database_.Connected() && newTables_.Count() == 0) {
        messages_.ShowMessageCode(vxMsgNoDatabaseOpen);
        return;
    }
    std::vector<TvxDiagramSource> sources;
    for (int i = 0; i < currentTables_.count(); ++i)
        if (const TvxTableDesc* desc = currentTables_.TableAt(i))
            sources.push_back({currentTables_.NameAt(i), desc});
    // Laying out a thousand tables takes about a second.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    auto restoreCursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    try {
        TvxDiagram diagram =
            newTables_.Count() > 0 ? DiagramOfScript(sources, newTables_, script_) : DiagramOfTables(sources);
        auto graph = std::make_unique<TvxDiagramGraph>(diagram, DiagramTextsFromStrings());
        if (diagramWindow_)
            diagramWindow_->close();
        diagramWindow_ = new TvxDiagramWindow(std::move(diagram), std::move(graph), prompts_, messages_, window_);
    } catch (const std::exception& e) {
        restoreCursor.dismiss();
        QGuiApplication::restoreOverrideCursor();
        messages_.ShowFailure(e);
        return;
    }
    connect(&diagramWindow_->View(), &TvxDiagramView::TableSelected, this, &TvxDiagramCommands::BoxSelected);
    diagramWindow_->show();
    diagramWindow_->View().FitAll();
    CurrentTableChanged();
}

TvxDiagramWindow* TvxDiagramCommands::Window() const
{
    return diagramWindow_;
}

void TvxDiagramCommands::CurrentTableChanged()
{
    if (!diagramWindow_)
        return;
    const TvxTableDesc* desc = currentTables_.SelectedTable();
    diagramWindow_->View().SelectTable(desc ? DiagramName(currentTables_.SelectedName(), desc->CodePage())
                                            : std::string());
}

void TvxDiagramCommands::BoxSelected(const QString& name)
{
    const TvxDiagram& diagram = diagramWindow_->Diagram();
    const int box = diagram.TableIndex(name.toStdString());
    if (box < 0)
        return;
    const TvxDiagramTable& table = diagram.tables[static_cast<std::size_t>(box)];
    for (const std::string& candidate : {table.name, table.oldName}) {
        for (int i = 0; !candidate.empty() && i < currentTables_.count(); ++i) {
            const TvxTableDesc* desc = currentTables_.TableAt(i);
            if (desc && SameTableName(DiagramName(currentTables_.NameAt(i), desc->CodePage()), candidate)) {
                currentTables_.SelectIndex(i);
                return;
            }
        }
    }
}

} // namespace morvane
