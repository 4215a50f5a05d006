// The table list box: filled and cleared by a real database connection on a sample directory,
// kept in step with its fields list by selection, mouse and navigation keys.

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

#include "TestFields.h"
#include "db/cpDatabase.h"
#include "model/vxFieldTypes.h"
#include "views/TvxFieldTypeNames.h"
#include "views/cpDataSetListBox.h"
#include "views/cpFieldsListBox.h"

using namespace morvane;
using morvane::test::MakeField;
using morvane::test::TableWith;

class DataSetListBoxTest : public QObject
{
    Q_OBJECT
private slots:
    void connectFillsAndDisconnectClears();
    void sampleTablesShowTheirFieldTexts();
    void selectionShowsTheTableFields();
    void mouseReleaseAndNavigationKeysRunChange();
    void noChangeWithoutStructListOrEntries();
    void destroyedPartnersAreForgotten();
    void sortedListIgnoresLetterCase();
};

namespace {

QString Sample(std::string_view set)
{
    return QString::fromStdString(test::SamplePath(set));
}

// Three tables: a (2 fields), b (1 field), c (none).
void FillThree(TvxDataSetListBox& box)
{
    box.AddTable("a.db", TableWith({MakeField("Codigo", 0, fldLong), MakeField("Nome", 0, fldAlpha, 20)}));
    box.AddTable("b.db", TableWith({MakeField("Data", 0, fldDate)}));
    box.AddTable("c.db", TableWith({}));
}

// Selects the entry of that name; false when there is none.
bool SelectByName(TvxDataSetListBox& box, const std::string& name)
{
    for (int i = 0; i < box.count(); ++i)
        if (box.NameAt(i) == name) {
            box.SelectIndex(i);
            return true;
        }
    return false;
}

QStringList Row(const TvxFieldsListBox& fields, int row)
{
    return {fields.ItemText(row, 0), fields.ItemText(row, 1), fields.ItemText(row, 2)};
}

QPoint RowCenter(const TvxDataSetListBox& box, int row)
{
    return box.visualItemRect(box.item(row)).center();
}

} // namespace

void DataSetListBoxTest::connectFillsAndDisconnectClears()
{
    const QStringList tableFiles =
        QDir(Sample("pd-joins")).entryList({QStringLiteral("*.db")}, QDir::Files | QDir::CaseSensitive) +
        QDir(Sample("pd-joins")).entryList({QStringLiteral("*.DB")}, QDir::Files | QDir::CaseSensitive);
    QVERIFY(tableFiles.size() > 5);

    test::TestEngine engine;
    TvxDatabase database(*engine.engine);
    TvxDataSetListBox box;
    TvxFieldsListBox fields;
    box.SetSorted(true);
    box.SetStructList(&fields);
    database.SetDataSetList(&box);
    QSignalSpy connected(&box, &TvxDataSetListBox::OnChange);

    database.OpenByPath(test::SamplePath("pd-joins"));
    QVERIFY(database.Connected());
    QCOMPARE(box.DatabaseHandle(), database.Handle());
    QCOMPARE(box.count(), tableFiles.size());
    QCOMPARE(box.currentRow(), -1);
    for (int i = 1; i < box.count(); ++i)
        QVERIFY(box.item(i - 1)->text().compare(box.item(i)->text(), Qt::CaseInsensitive) <= 0);

    // A table of the sample directory with its fields.
    TvxTableDesc* a = box.TableByName("A");
    QVERIFY(a);
    QCOMPARE(box.TableByName("a"), a);
    QCOMPARE(box.NameAt(0), std::string("A"));
    QVERIFY(a->FieldCount() > 0);
    for (int i = 0; i < box.count(); ++i)
        if (box.TableAt(i) == a)
            box.SelectIndex(i);
    QCOMPARE(box.SelectedTable(), a);
    QCOMPARE(fields.topLevelItemCount(), a->FieldCount());
    QCOMPARE(fields.ItemText(0, 0).toStdString(), a->GetField(0)->name());

    database.SetConnected(false);
    QCOMPARE(box.count(), 0);
    QVERIFY(box.DatabaseHandle() == nullptr);
    QVERIFY(box.SelectedTable() == nullptr);
    QCOMPARE(fields.topLevelItemCount(), 0);

    // Connecting again fills the box afresh.
    database.SetConnected(true);
    QCOMPARE(box.count(), tableFiles.size());
    database.SetConnected(false);
    QCOMPARE(box.count(), 0);
}

void DataSetListBoxTest::sampleTablesShowTheirFieldTexts()
{
    test::TestEngine engine;
    TvxDatabase database(*engine.engine);
    TvxDataSetListBox box;
    TvxFieldsListBox fields;
    fields.SetFieldTypeNames(TvxFieldTypeNames(database.FieldTypeList()));
    box.SetStructList(&fields);
    database.SetDataSetList(&box);

    // BCD fields of 2, 0 and 32 decimal places (size 32 each): the length is the decimals.
    database.OpenByPath(test::SamplePath("pd-fields"));
    QVERIFY(SelectByName(box, "bcd"));
    QCOMPARE(fields.topLevelItemCount(), 3);
    QCOMPARE(Row(fields, 0), (QStringList{"A", "BCD", "2"}));
    QCOMPARE(Row(fields, 1), (QStringList{"B", "BCD", "0"}));
    QCOMPARE(Row(fields, 2), (QStringList{"C", "BCD", "32"}));
    QVERIFY(SelectByName(box, "date7"));
    QCOMPARE(Row(fields, 0), (QStringList{"DATE", "DATE", ""}));
    QCOMPARE(Row(fields, 1), (QStringList{"TIME", "TIME", ""}));
    QVERIFY(SelectByName(box, "bytes"));
    QCOMPARE(Row(fields, 0), (QStringList{"BYTES", "BYTES", "255"}));
    QVERIFY(SelectByName(box, "memo"));
    QCOMPARE(Row(fields, 1), (QStringList{"MEMO", "MEMO", "240"}));
    database.SetConnected(false);

    // A code page 866 table: names converted from it; Alpha shows its size, Date nothing.
    database.OpenByPath(test::SamplePath("rparadox-extdata"));
    QVERIFY(SelectByName(box, "of"));
    QCOMPARE(box.SelectedTable()->CodePage(), 866);
    QCOMPARE(Row(fields, 0), (QStringList{QStringLiteral("Инвентарный номер"), "ALPHA", "10"}));
    QCOMPARE(Row(fields, 4), (QStringList{QStringLiteral("Дата приобретения"), "DATE", ""}));
}

void DataSetListBoxTest::selectionShowsTheTableFields()
{
    TvxDataSetListBox box;
    TvxFieldsListBox fields;
    box.SetStructList(&fields);
    FillThree(box);
    QSignalSpy changes(&box, &TvxDataSetListBox::OnChange);

    box.SelectIndex(0);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).value<QObject*>(), &box);
    QCOMPARE(fields.topLevelItemCount(), 2);
    QCOMPARE(fields.ItemText(1, 0), QStringLiteral("Nome"));
    QCOMPARE(fields.ItemText(1, 2), QStringLiteral("20"));
    QCOMPARE(box.SelectedName(), std::string("a.db"));
    QCOMPARE(box.SelectedField(1)->name(), std::string("Nome"));
    QVERIFY(box.SelectedField(2) == nullptr);

    box.SelectIndex(0); // same position: nothing happens
    QCOMPARE(changes.count(), 1);

    box.SelectIndex(2);
    QCOMPARE(fields.topLevelItemCount(), 0);
    box.SelectIndex(1);
    QCOMPARE(fields.topLevelItemCount(), 1);

    box.ClearTables();
    QCOMPARE(box.count(), 0);
    QCOMPARE(fields.topLevelItemCount(), 0);
    QVERIFY(box.SelectedTable() == nullptr);
    QVERIFY(box.SelectedName().empty());
    QVERIFY(box.SelectedField(0) == nullptr);
}

void DataSetListBoxTest::mouseReleaseAndNavigationKeysRunChange()
{
    TvxDataSetListBox box;
    TvxFieldsListBox fields;
    box.SetStructList(&fields);
    FillThree(box);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy changes(&box, &TvxDataSetListBox::OnChange);

    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, RowCenter(box, 1));
    QCOMPARE(box.currentRow(), 1);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(fields.topLevelItemCount(), 1);

    QTest::keyClick(&box, Qt::Key_Up);
    QCOMPARE(box.currentRow(), 0);
    QCOMPARE(changes.count(), 2);
    QCOMPARE(fields.topLevelItemCount(), 2);

    // A navigation key refreshes even when the selection stays.
    QTest::keyClick(&box, Qt::Key_Home);
    QCOMPARE(changes.count(), 3);
    QTest::keyClick(&box, Qt::Key_End);
    QCOMPARE(box.currentRow(), 2);
    QCOMPARE(changes.count(), 4);
    QCOMPARE(fields.topLevelItemCount(), 0);

    // Other keys that leave the selection alone do nothing extra.
    QTest::keyClick(&box, Qt::Key_F5);
    QTest::keyClick(&box, Qt::Key_Shift);
    QTest::keyClick(&box, Qt::Key_Escape);
    QCOMPARE(changes.count(), 4);

    // Typing a table's first letter moves the selection: the fields follow.
    QTest::keyClick(&box, Qt::Key_A);
    QCOMPARE(box.currentRow(), 0);
    QCOMPARE(changes.count(), 5);
    QCOMPARE(fields.topLevelItemCount(), 2);
}

void DataSetListBoxTest::noChangeWithoutStructListOrEntries()
{
    TvxDataSetListBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy changes(&box, &TvxDataSetListBox::OnChange);
    FillThree(box);
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, RowCenter(box, 1));
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(changes.count(), 0);

    TvxFieldsListBox fields;
    box.SetStructList(&fields);
    box.ClearTables();
    changes.clear();
    QTest::keyClick(&box, Qt::Key_Down);
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(changes.count(), 0);
}

void DataSetListBoxTest::destroyedPartnersAreForgotten()
{
    test::TestEngine engine;
    TvxDatabase database(*engine.engine);
    auto box = std::make_unique<TvxDataSetListBox>();
    auto fields = std::make_unique<TvxFieldsListBox>();
    box->SetStructList(fields.get());
    database.SetDataSetList(box.get());
    FillThree(*box);

    fields.reset();
    QVERIFY(box->StructList() == nullptr);
    box->SelectIndex(0);
    QCOMPARE(box->SelectedName(), std::string("a.db"));

    box.reset();
    QVERIFY(database.DataSetList() == nullptr);
}

void DataSetListBoxTest::sortedListIgnoresLetterCase()
{
    TvxDataSetListBox box;
    box.SetSorted(true);
    box.AddTable("b.db", TableWith({}));
    box.AddTable("C.DB", TableWith({}));
    box.AddTable("A.db", TableWith({}));
    box.AddTable("a2.db", TableWith({}));
    QCOMPARE(box.NameAt(0), std::string("A.db"));
    QCOMPARE(box.NameAt(1), std::string("a2.db"));
    QCOMPARE(box.NameAt(2), std::string("b.db"));
    QCOMPARE(box.NameAt(3), std::string("C.DB"));
    QVERIFY(box.TableByName("c.db") == box.TableAt(3));
    QVERIFY(box.TableByName("d.db") == nullptr);
}

QTEST_MAIN(DataSetListBoxTest)
#include "DataSetListBoxTest.moc"
