// The field grid: rows (title, fields, trailing blank row), the row edits the table list uses,
// and the row notifications.

#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>

#include "TestFields.h"
#include "db/cpDatabase.h"
#include "model/vxFieldTypes.h"
#include "views/TvxFieldTypeNames.h"
#include "views/cpFieldGrid.h"

using namespace morvane;
using morvane::test::MakeField;

class FieldGridTest : public QObject
{
    Q_OBJECT
private slots:
    void startsWithTitleAndBlankRow();
    void showFieldsGivesCountPlusTwoRows();
    void deleteRowKeepsTwoRows();
    void deleteRowMovesTheFollowingRowsUp();
    void insertAtTheBlankRowAppendsInOrder();
    void insertInTheMiddleMovesRowsDown();
    void updateCurrentRowRewritesTheSelectedRow();
    void blankAndTitleRowsNotifyMinusOne();
    void withoutFieldTypesEveryRowNotifiesMinusOne();
    void columnsSetTheTitles();
    void namesFollowTheCodePage();
};

namespace {

const TvxFieldDesc kFields[] = {MakeField("Codigo", 0, fldLong), MakeField("Nome", 0, fldAlpha, 30),
                                MakeField("Saldo", 0, fldBcd, 2)};

} // namespace

void FieldGridTest::startsWithTitleAndBlankRow()
{
    TvxFieldGrid grid;
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.Row(), 1);
    QCOMPARE(grid.SelectedRow(), 1);
    QCOMPARE(grid.Cells(0, 0), QStringLiteral("Nome"));
    QCOMPARE(grid.Cells(2, 0), QStringLiteral("Compr."));
    QCOMPARE(grid.columnWidth(0), 190);
    QCOMPARE(grid.columnWidth(1), 100);
    QCOMPARE(grid.columnWidth(2), 50);
    // Like a string grid, titles and cells are written from the left.
    QCOMPARE(int(grid.horizontalHeader()->defaultAlignment() & Qt::AlignHorizontal_Mask), int(Qt::AlignLeft));
    grid.ShowFields(kFields, 3);
    QCOMPARE(int(grid.item(2, 2)->textAlignment() & Qt::AlignHorizontal_Mask), 0);
}

void FieldGridTest::showFieldsGivesCountPlusTwoRows()
{
    TvxFieldGrid grid;
    grid.ShowFields(kFields, 3);
    QCOMPARE(grid.RowCount(), 5);
    QCOMPARE(grid.Cells(0, 1), QStringLiteral("Codigo"));
    QCOMPARE(grid.Cells(0, 2), QStringLiteral("Nome"));
    QCOMPARE(grid.Cells(2, 2), QStringLiteral("30"));
    QCOMPARE(grid.Cells(2, 3), QStringLiteral("2"));
    for (int column = 0; column < 3; ++column)
        QVERIFY(grid.Cells(column, 4).isEmpty());

    // Fewer fields afterwards: the former rows do not linger in the blank row.
    grid.ShowFields(kFields, 1);
    QCOMPARE(grid.RowCount(), 3);
    QCOMPARE(grid.Cells(0, 1), QStringLiteral("Codigo"));
    QVERIFY(grid.Cells(0, 2).isEmpty());

    grid.ShowFields(nullptr, 0);
    QCOMPARE(grid.RowCount(), 2);
    QVERIFY(grid.Cells(0, 1).isEmpty());
    QVERIFY(grid.Row() >= 1);
}

void FieldGridTest::deleteRowKeepsTwoRows()
{
    TvxFieldGrid grid;
    grid.DeleteRow(1);
    QCOMPARE(grid.RowCount(), 2);
    grid.ShowFields(kFields, 1);
    grid.DeleteRow(1);
    QCOMPARE(grid.RowCount(), 2);
    QVERIFY(grid.Cells(0, 1).isEmpty());
    grid.DeleteRow(1);
    QCOMPARE(grid.RowCount(), 2);
    grid.DeleteRow(0);
    grid.DeleteRow(-1);
    grid.DeleteRow(7);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.Cells(0, 0), QStringLiteral("Nome"));
}

void FieldGridTest::deleteRowMovesTheFollowingRowsUp()
{
    TvxFieldGrid grid;
    grid.ShowFields(kFields, 3);
    grid.DeleteRow(2);
    QCOMPARE(grid.RowCount(), 4);
    QCOMPARE(grid.Cells(0, 1), QStringLiteral("Codigo"));
    QCOMPARE(grid.Cells(0, 2), QStringLiteral("Saldo"));
    QCOMPARE(grid.Cells(2, 2), QStringLiteral("2"));
    QVERIFY(grid.Cells(0, 3).isEmpty());
}

void FieldGridTest::insertAtTheBlankRowAppendsInOrder()
{
    TvxFieldGrid grid;
    QCOMPARE(grid.Row(), 1);
    for (const TvxFieldDesc& field : kFields)
        grid.InsertAtCurrentRow(field);
    QCOMPARE(grid.RowCount(), 5);
    QCOMPARE(grid.Row(), 4);
    QCOMPARE(grid.Cells(0, 1), QStringLiteral("Codigo"));
    QCOMPARE(grid.Cells(0, 2), QStringLiteral("Nome"));
    QCOMPARE(grid.Cells(0, 3), QStringLiteral("Saldo"));
    QVERIFY(grid.Cells(0, 4).isEmpty());
}

void FieldGridTest::insertInTheMiddleMovesRowsDown()
{
    TvxFieldGrid grid;
    grid.ShowFields(kFields, 3);
    grid.SelectRow(2);
    grid.InsertAtCurrentRow(MakeField("Novo", 0, fldDate));
    QCOMPARE(grid.RowCount(), 6);
    QCOMPARE(grid.Cells(0, 1), QStringLiteral("Codigo"));
    QCOMPARE(grid.Cells(0, 2), QStringLiteral("Novo"));
    QVERIFY(grid.Cells(2, 2).isEmpty());
    QCOMPARE(grid.Cells(0, 3), QStringLiteral("Nome"));
    QCOMPARE(grid.Cells(2, 3), QStringLiteral("30"));
    QCOMPARE(grid.Cells(0, 4), QStringLiteral("Saldo"));
    QVERIFY(grid.Cells(0, 5).isEmpty());
    QCOMPARE(grid.Row(), 3);

    grid.InsertRow(MakeField("Primeiro", 0, fldShort), 1);
    QCOMPARE(grid.Cells(0, 1), QStringLiteral("Primeiro"));
    QCOMPARE(grid.Cells(0, 2), QStringLiteral("Codigo"));
    QCOMPARE(grid.Row(), 2);
    QCOMPARE(grid.RowCount(), 7);
}

void FieldGridTest::updateCurrentRowRewritesTheSelectedRow()
{
    TvxFieldGrid grid;
    grid.ShowFields(kFields, 3);
    grid.SelectRow(2);
    grid.UpdateCurrentRow(MakeField("Apelido", 0, fldAlpha, 12));
    QCOMPARE(grid.Cells(0, 2), QStringLiteral("Apelido"));
    QCOMPARE(grid.Cells(2, 2), QStringLiteral("12"));
    QCOMPARE(grid.Cells(0, 1), QStringLiteral("Codigo"));
    QCOMPARE(grid.RowCount(), 5);
    grid.ClearRow(2);
    QVERIFY(grid.Cells(0, 2).isEmpty());
    QVERIFY(grid.Cells(2, 2).isEmpty());
}

void FieldGridTest::blankAndTitleRowsNotifyMinusOne()
{
    test::TestEngine engine;
    TvxDatabase database(*engine.engine);
    TvxFieldGrid grid;
    grid.SetFieldTypeNames(TvxFieldTypeNames(database.FieldTypeList()));
    grid.ShowFields(kFields, 3);
    grid.SelectRow(1);
    QSignalSpy spy(&grid, &TvxFieldGrid::OnSelectField);

    grid.SelectRow(2);
    grid.SelectRow(4);
    grid.SelectRow(0); // the title row cannot be selected
    QCOMPARE(grid.Row(), 4);
    grid.SelectRow(3);
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0).at(0).toInt(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), -1);
    QCOMPARE(spy.at(2).at(0).toInt(), 3);

    // A click on the blank row.
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QRect blank = grid.visualRect(grid.model()->index(3, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, blank.center());
    QCOMPARE(grid.Row(), 4);
    QCOMPARE(spy.count(), 4);
    QCOMPARE(spy.at(3).at(0).toInt(), -1);

    // An insert selects the row after the new one and notifies it.
    grid.SelectRow(1);
    spy.clear();
    grid.InsertAtCurrentRow(MakeField("Novo", 0, fldDate));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 2);
}

void FieldGridTest::withoutFieldTypesEveryRowNotifiesMinusOne()
{
    // A database exists, but nobody gave the grid its field types.
    test::TestEngine engine;
    TvxDatabase database(*engine.engine);
    TvxFieldGrid grid;
    QVERIFY(grid.FieldTypeNames().Empty());
    grid.ShowFields(kFields, 3);
    QSignalSpy spy(&grid, &TvxFieldGrid::OnSelectField);
    grid.SelectRow(2);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), -1);
}

void FieldGridTest::columnsSetTheTitles()
{
    TvxFieldGrid grid;
    grid.SetColumns({QStringLiteral("A"), QStringLiteral("B")});
    QCOMPARE(grid.columnCount(), 2);
    QCOMPARE(grid.Columns().size(), 2);
    QCOMPARE(grid.Cells(1, 0), QStringLiteral("B"));
    QCOMPARE(grid.horizontalHeaderItem(0)->text(), QStringLiteral("A"));
    grid.SetColumns({QStringLiteral("Nome"), QStringLiteral("Tipo"), QStringLiteral("Compr.")});
    QCOMPARE(grid.columnCount(), 3);
}

void FieldGridTest::namesFollowTheCodePage()
{
    // "Ação" in code page 850; rows written before a change of code page keep their text.
    TvxFieldGrid grid;
    QCOMPARE(grid.CodePage(), vxNewTableCodePage);
    const TvxFieldDesc oem[] = {MakeField("A\x87\xC6o", 0, fldAlpha, 4)};
    grid.ShowFields(oem, 1);
    QCOMPARE(grid.Cells(0, 1), QStringLiteral("A‡Æo"));
    grid.SetCodePage(850);
    grid.ShowFields(oem, 1);
    QCOMPARE(grid.Cells(0, 1), QStringLiteral("Ação"));
    grid.SelectRow(2);
    grid.InsertAtCurrentRow(MakeField("\x80", 0, fldDate));
    QCOMPARE(grid.Cells(0, 2), QStringLiteral("Ç"));
    grid.SetCodePage(0);
    grid.SelectRow(2);
    grid.UpdateCurrentRow(MakeField("\x80", 0, fldDate));
    QCOMPARE(grid.Cells(0, 2), QStringLiteral("€"));
    QCOMPARE(grid.Cells(0, 1), QStringLiteral("Ação"));
}

QTEST_MAIN(FieldGridTest)
#include "FieldGridTest.moc"
