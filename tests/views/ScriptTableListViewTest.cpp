// The new-structure table list view: it presents a model it does not own, shows the model's
// entries, keeps the field grid in step on mouse release and navigation keys (not on other
// keys), and lets go of the model or is let go by it whichever goes first.

#include <QSignalSpy>
#include <QtTest>

#include <memory>

#include "TestFields.h"
#include "db/cpDatabase.h"
#include "model/vxFieldTypes.h"
#include "script/TvxScriptTableList.h"
#include "views/TvxFieldTypeNames.h"
#include "views/cpFieldGrid.h"
#include "views/cpDataSetListBox.h"
#include "views/cpScriptTableListView.h"

using namespace morvane;
using morvane::test::MakeField;
using morvane::test::TableWith;

namespace {

// A real grid that counts how often the list refills it.
class TvxCountingGrid : public TvxFieldGrid
{
public:
    void ShowFields(const TvxFieldDesc* fields, int count) override
    {
        ++shows;
        TvxFieldGrid::ShowFields(fields, count);
    }
    int shows = 0;
};

} // namespace

class ScriptTableListViewTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void mouseReleaseRefreshesTheGridWithoutOnChange();
    void navigationKeysRefreshTheGrid();
    void otherKeysDoNotRefreshTheGrid();
    void selectionThroughTheModelShowsAndFiresChange();
    void entriesChangedThroughTheModelShow();
    void insertAtTheBlankRowAppends();
    void gridShowsNamesInTheTableCodePage();
    void clickOnTheSelectedTableIsAClick();
    void destroyedGridIsUnlinked();
    void modelGoingFirstEmptiesTheView();
    void viewGoingFirstTakesItsGridBack();
    void anotherModelTakesTheGridAlong();

private:
    std::unique_ptr<TvxScriptTableList> tables_;
    std::unique_ptr<TvxScriptTableListView> view_;
    std::unique_ptr<TvxCountingGrid> grid_;
    int onChange_ = 0;
};

void ScriptTableListViewTest::init()
{
    tables_ = std::make_unique<TvxScriptTableList>();
    view_ = std::make_unique<TvxScriptTableListView>();
    grid_ = std::make_unique<TvxCountingGrid>();
    view_->SetFieldGrid(grid_.get());
    view_->SetTables(tables_.get());
    tables_->OnChange = [this] { ++onChange_; };
    onChange_ = 0;
    tables_->AddTable("Clientes", TableWith({MakeField("Codigo", 0, fldLong), MakeField("Nome", 0, fldAlpha, 40)}));
    tables_->AddTable("Pedidos", TableWith({MakeField("Numero", 0, fldLong)}));
    tables_->AddTable("Vazia", TableWith({}));
    tables_->SelectIndex(0);
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    QCOMPARE(view_->count(), 3);
    grid_->shows = 0;
    onChange_ = 0;
}

void ScriptTableListViewTest::cleanup()
{
    view_.reset();
    grid_.reset();
    tables_.reset();
}

void ScriptTableListViewTest::mouseReleaseRefreshesTheGridWithoutOnChange()
{
    QSignalSpy clicks(view_.get(), &TvxScriptTableListView::OnClick);
    QSignalSpy changed(view_.get(), &TvxScriptTableListView::Changed);
    const QPoint second = view_->visualItemRect(view_->item(1)).center();

    QTest::mousePress(view_->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(tables_->ItemIndex(), 1);
    QCOMPARE(grid_->shows, 0);
    QTest::mouseRelease(view_->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(grid_->shows, 1);
    QCOMPARE(grid_->RowCount(), 3);
    QCOMPARE(grid_->Cells(0, 1), QStringLiteral("Numero"));
    QCOMPARE(tables_->SelectedName(), std::string("Pedidos"));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(onChange_, 0);
    QCOMPARE(changed.count(), 0);
}

void ScriptTableListViewTest::navigationKeysRefreshTheGrid()
{
    const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp,
                            Qt::Key_End, Qt::Key_Home, Qt::Key_Right, Qt::Key_Left};
    int expected = 0;
    for (Qt::Key key : keys) {
        QTest::keyClick(view_.get(), key);
        QCOMPARE(grid_->shows, ++expected);
    }
    QTest::keyClick(view_.get(), Qt::Key_End);
    QCOMPARE(tables_->ItemIndex(), 2);
    QCOMPARE(grid_->RowCount(), 2);
    QTest::keyClick(view_.get(), Qt::Key_Up);
    QCOMPARE(tables_->ItemIndex(), 1);
    QCOMPARE(grid_->RowCount(), 3);
    QCOMPARE(grid_->Cells(0, 1), QStringLiteral("Numero"));
    QCOMPARE(onChange_, 0);
}

void ScriptTableListViewTest::otherKeysDoNotRefreshTheGrid()
{
    const Qt::Key keys[] = {Qt::Key_F5, Qt::Key_Shift, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Insert};
    for (Qt::Key key : keys)
        QTest::keyClick(view_.get(), key);
    QCOMPARE(grid_->shows, 0);

    // A letter that moves the selection to another table brings the grid along with it (after
    // the pause that starts a new type-ahead search).
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClick(view_.get(), Qt::Key_P);
    QCOMPARE(tables_->ItemIndex(), 1);
    QCOMPARE(grid_->shows, 1);
    QCOMPARE(grid_->Cells(0, 1), QStringLiteral("Numero"));

    // Without entries nothing refreshes.
    tables_->ClearTables();
    grid_->shows = 0;
    QTest::keyClick(view_.get(), Qt::Key_Down);
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(grid_->shows, 0);
}

void ScriptTableListViewTest::selectionThroughTheModelShowsAndFiresChange()
{
    QSignalSpy changed(view_.get(), &TvxScriptTableListView::Changed);
    tables_->SelectIndex(2);
    QCOMPARE(view_->currentRow(), 2);
    QCOMPARE(grid_->shows, 1);
    QCOMPARE(onChange_, 1);
    QCOMPARE(changed.count(), 1);

    tables_->SelectIndex(-1);
    QCOMPARE(view_->currentRow(), -1);
    QVERIFY(tables_->SelectedTable() == nullptr);
    QCOMPARE(grid_->RowCount(), 2);
    QCOMPARE(onChange_, 2);
}

void ScriptTableListViewTest::entriesChangedThroughTheModelShow()
{
    // The builder adds and renames through the model only.
    TvxScriptTableList& model = *tables_;
    model.AddTable("Itens", TableWith({}));
    model.RenameSelected("CLIENTES\xC7");
    view_->viewport()->repaint();
    QCOMPARE(view_->count(), 4);
    QCOMPARE(view_->item(0)->text(), QStringLiteral("CLIENTESÇ"));
    QCOMPARE(view_->item(3)->text(), QStringLiteral("Itens"));

    model.DeleteTable(1);
    QCOMPARE(view_->count(), 3);
    QCOMPARE(view_->item(1)->text(), QStringLiteral("Vazia"));
    QCOMPARE(view_->currentRow(), 0);

    model.ClearTables();
    view_->viewport()->repaint();
    QCOMPARE(view_->count(), 0);
    QCOMPARE(grid_->RowCount(), 2);
}

void ScriptTableListViewTest::insertAtTheBlankRowAppends()
{
    QCOMPARE(grid_->RowCount(), 4);
    grid_->SelectRow(3);
    QVERIFY(tables_->InsertField(MakeField("Email", 0, fldAlpha, 60)));
    QVERIFY(tables_->InsertField(MakeField("Fone", 0, fldAlpha, 20)));
    const TvxTableDesc* table = tables_->SelectedTable();
    QCOMPARE(table->FieldCount(), 4);
    QCOMPARE(table->GetField(2)->name(), std::string("Email"));
    QCOMPARE(table->GetField(3)->name(), std::string("Fone"));
    QCOMPARE(grid_->RowCount(), 6);
    QCOMPARE(grid_->Cells(0, 3), QStringLiteral("Email"));
    QCOMPARE(grid_->Cells(0, 4), QStringLiteral("Fone"));
    QVERIFY(grid_->Cells(0, 5).isEmpty());
    QCOMPARE(grid_->Row(), 5);
}

void ScriptTableListViewTest::gridShowsNamesInTheTableCodePage()
{
    // A code page 866 table of the current database, added to the new structure as it is.
    test::TestEngine engine;
    TvxDatabase database(*engine.engine);
    TvxDataSetListBox current;
    database.SetDataSetList(&current);
    database.OpenByPath(test::SamplePath("rparadox-extdata"));
    const TvxTableDesc* of = current.TableByName("of");
    QVERIFY(of);
    QCOMPARE(of->CodePage(), 866);
    grid_->SetFieldTypeNames(TvxFieldTypeNames(database.FieldTypeList()));
    tables_->AddTable("of", std::make_unique<TvxTableDesc>(of->Clone()));
    tables_->SelectIndex(3);
    QCOMPARE(grid_->RowCount(), of->FieldCount() + 2);
    QCOMPARE(grid_->Cells(0, 1), QStringLiteral("Инвентарный номер"));
    QCOMPARE(grid_->Cells(1, 1), QStringLiteral("ALPHA"));
    QCOMPARE(grid_->Cells(2, 1), QStringLiteral("10"));

    // Rows written by field edits use that code page too ("Код" in code page 866).
    grid_->SelectRow(grid_->RowCount() - 1);
    QVERIFY(tables_->InsertField(MakeField("\x8A\xAE\xA4", 0, fldAlpha, 5)));
    QCOMPARE(grid_->Cells(0, grid_->RowCount() - 2), QStringLiteral("Код"));
    grid_->SelectRow(1);
    QVERIFY(tables_->ChangeField(MakeField("\x8A\xAE\xA4\x32", 0, fldAlpha, 10)));
    QCOMPARE(grid_->Cells(0, 1), QStringLiteral("Код2"));

    // A new table's names are Windows-1252 ("Ação").
    tables_->AddTable("Nova", TableWith({MakeField("A\xE7\xE3o", 0, fldDate)}));
    tables_->SelectIndex(4);
    QCOMPARE(grid_->Cells(0, 1), QStringLiteral("Ação"));
    QVERIFY(grid_->Cells(2, 1).isEmpty());
}

void ScriptTableListViewTest::clickOnTheSelectedTableIsAClick()
{
    QSignalSpy clicks(view_.get(), &TvxScriptTableListView::OnClick);
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, view_->visualItemRect(view_->item(0)).center());
    QCOMPARE(tables_->ItemIndex(), 0);
    QCOMPARE(clicks.count(), 1);
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, view_->visualItemRect(view_->item(2)).center());
    QCOMPARE(tables_->ItemIndex(), 2);
    QCOMPARE(clicks.count(), 2);
    // Below the last entry: no table clicked.
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, QPoint(4, view_->viewport()->height() - 4));
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(onChange_, 0);
}

void ScriptTableListViewTest::destroyedGridIsUnlinked()
{
    grid_.reset();
    QVERIFY(tables_->StructFields() == nullptr);
    QVERIFY(view_->FieldGrid() == nullptr);
    tables_->SelectIndex(1);
    QTest::keyClick(view_.get(), Qt::Key_Down);
    QCOMPARE(tables_->ItemIndex(), 2);
    QVERIFY(tables_->InsertField(MakeField("Novo", 0, fldDate)));
    QCOMPARE(tables_->SelectedTable()->FieldCount(), 1);
}

void ScriptTableListViewTest::modelGoingFirstEmptiesTheView()
{
    tables_.reset();
    QVERIFY(view_->Tables() == nullptr);
    QCOMPARE(view_->count(), 0);
    // The user can still use the emptied view; nothing reaches the model that is gone.
    QSignalSpy clicks(view_.get(), &TvxScriptTableListView::OnClick);
    QTest::keyClick(view_.get(), Qt::Key_Down);
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
    view_->viewport()->repaint();
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(grid_->shows, 0);
}

void ScriptTableListViewTest::viewGoingFirstTakesItsGridBack()
{
    QVERIFY(tables_->StructFields() != nullptr);
    view_.reset();
    QVERIFY(tables_->StructFields() == nullptr);
    // The model goes on alone: its edits no longer reach the grid.
    tables_->SelectIndex(1);
    QVERIFY(tables_->InsertField(MakeField("Novo", 0, fldDate)));
    QCOMPARE(tables_->SelectedTable()->FieldCount(), 2);
    tables_->DeleteTable(1);
    tables_->ClearTables();
    QCOMPARE(grid_->shows, 0);
}

void ScriptTableListViewTest::anotherModelTakesTheGridAlong()
{
    TvxScriptTableList other;
    other.AddTable("Outra", TableWith({MakeField("Um", 0, fldDate), MakeField("Dois", 0, fldDate)}));
    other.SelectIndex(0);
    view_->SetTables(&other);
    QVERIFY(tables_->StructFields() == nullptr);
    QVERIFY(other.StructFields() != nullptr);
    QCOMPARE(view_->count(), 1);
    QCOMPARE(view_->item(0)->text(), QStringLiteral("Outra"));
    QCOMPARE(grid_->RowCount(), 4);
    // The first model no longer reaches the view.
    tables_->AddTable("Mais", TableWith({}));
    tables_->SelectIndex(3);
    QCOMPARE(view_->count(), 1);
    QCOMPARE(grid_->RowCount(), 4);
    // A grid that someone else linked to the model in the meantime stays when the view leaves.
    TvxFieldGrid own;
    other.SetStructFields(&own);
    view_->SetTables(nullptr);
    QCOMPARE(view_->count(), 0);
    QVERIFY(other.StructFields() == &own);
    other.SetStructFields(nullptr);
}

QTEST_MAIN(ScriptTableListViewTest)
#include "ScriptTableListViewTest.moc"
