#pragma once
// TvxDiagramCommands: "&Diagrama": a window with the picture of the open database (its tables
// and referential-integrity rules laid out by Graphviz) or, while the script has new tables,
// of the new structure with what the script changes marked. The window's selected box and the
// table selected in the upper list follow each other. One window at a time; choosing the
// command again draws it anew.

#include <QObject>
#include <QPointer>

namespace morvane {

class IvxPrompts;
class TvxDBScript;
class TvxDataSetListBox;
class TvxDatabase;
class TvxDiagramWindow;
class TvxMessages;
class TvxScriptTableList;

class TvxDiagramCommands : public QObject
{
    Q_OBJECT

public:
    // All outlive the commands; the window is the diagram window's parent.
    TvxDiagramCommands(QWidget* window, TvxDatabase& database, TvxDataSetListBox& currentTables,
                       TvxScriptTableList& newTables, TvxDBScript& script, IvxPrompts& prompts, TvxMessages& messages);

    void mnDiagramClick();
    // The upper list's selection moved: the window selects that table's box.
    void CurrentTableChanged();
    // The diagram window, while it is open.
    TvxDiagramWindow* Window() const;

private:
    // The user selected a box: the upper list selects its table (or the table it was before
    // the script).
    void BoxSelected(const QString& name);

    QWidget* window_;
    TvxDatabase& database_;
    TvxDataSetListBox& currentTables_;
    TvxScriptTableList& newTables_;
    TvxDBScript& script_;
    IvxPrompts& prompts_;
    TvxMessages& messages_;
    QPointer<TvxDiagramWindow> diagramWindow_;
};

} // namespace morvane
