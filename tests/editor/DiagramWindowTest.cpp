// "&Diagrama" in the real main window over the example database: a box per table, the box
// selected and the upper list's table following each other, the export through the file
// question, and the window drawn anew with the script's marks once the script has tables.

#include "editor/TvxDiagramCommands.h"
#include "editor/TvxDiagramWindow.h"
#include "views/TvxDiagramTableItem.h"
#include "views/TvxDiagramView.h"

#include <QAction>

#include "SourceWindow.h"

using namespace morvane;
using namespace morvane::test;

namespace {

class DiagramWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void BoxesAndUpperListSelectTogether();
};

void DiagramWindowTest::BoxesAndUpperListSelectTogether()
{
    SourceWindow s;
    TFormDBScript& w = s.w();
    w.mnDiagram->trigger();
    QCOMPARE(s.Asked(), QStringList{Shown(110)});
    s.Open();
    QVERIFY(s.SelectCurrent(QStringLiteral("ITENS")));
    w.mnDiagram->trigger();
    TvxDiagramWindow* window = w.DiagramCommands().Window();
    QVERIFY(window);
    TvxDiagramView& view = window->View();
    QCOMPARE(view.TableItems().size(), std::size_t(4));
    QCOMPARE(view.SelectedTable(), std::string("ITENS"));

    // The user picks a box: the upper list follows, and the other way round.
    for (TvxDiagramTableItem* item : view.TableItems())
        item->setSelected(item->Table().name == "PEDIDOS");
    QCOMPARE(w.DataSetList->SelectedName(), std::string("PEDIDOS"));
    QVERIFY(s.SelectCurrent(QStringLiteral("CLIENTES")));
    QCOMPARE(view.SelectedTable(), std::string("CLIENTES"));

    const double zoom = view.Zoom();
    window->ZoomIn->trigger();
    QVERIFY(view.Zoom() > zoom);

    s.prompts->QueueText(QString::fromStdString(s.dir.file("exemplo.svg")));
    window->ExportSvg->trigger();
    QVERIFY(s.dir.read("exemplo.svg").find("<title>PEDIDOS&#45;&gt;CLIENTES</title>") != std::string::npos);
    s.prompts->QueueText(std::nullopt);
    window->ExportPng->trigger();
    QVERIFY(s.dir.read("exemplo.png").empty());

    // With tables in the new structure the picture is the new structure's, its changes marked.
    s.prompts->QueueText(QStringLiteral("CLIENTES"));
    w.mnTableAdd->trigger();
    w.mnDiagram->trigger();
    QVERIFY(w.DiagramCommands().Window() != window);
    const TvxDiagram& d = w.DiagramCommands().Window()->Diagram();
    QVERIFY(d.showsChanges);
    QCOMPARE(d.tables.size(), std::size_t(4));
    QCOMPARE(int(d.tables[std::size_t(d.TableIndex("ITENS"))].mark), int(TvxDiagramMark::Removed));
    QCOMPARE(int(d.tables[std::size_t(d.TableIndex("CLIENTES"))].mark), int(TvxDiagramMark::None));
}

} // namespace

QTEST_MAIN(DiagramWindowTest)
#include "DiagramWindowTest.moc"
