// The fields list and the texts both field views show: name in the table's code page, type
// name from the current database, length by type.

#include <QtTest>

#include <stdexcept>

#include "TestFields.h"
#include "db/cpDatabase.h"
#include "model/vxFieldTypes.h"
#include "views/cpFieldsListBox.h"
#include "views/vxFieldTexts.h"
#include "views/vxRecordText.h"

using namespace morvane;
using morvane::test::MakeField;

class FieldsListBoxTest : public QObject
{
    Q_OBJECT
private slots:
    void lengthColumnFollowsTheType();
    void typeNamesComeFromTheCurrentDatabase();
    void showFieldsReplacesTheItems();
    void namesAreConvertedFromTheTableCodePage();
    void tabListKeepsTheFirstThousandEntries();
    void tabListRefusesNonIntegers();
    void horizontalScrollBarFollowsTheProperty();
};

void FieldsListBoxTest::lengthColumnFollowsTheType()
{
    QCOMPARE(FieldLengthText(MakeField("Valor", fldBcd, 32, 4)), QStringLiteral("4"));
    QCOMPARE(FieldLengthText(MakeField("Nome", fldAlpha, 40, 0)), QStringLiteral("40"));
    QCOMPARE(FieldLengthText(MakeField("Nota", fldMemo, 10, 0)), QStringLiteral("10"));
    QCOMPARE(FieldLengthText(MakeField("Dados", fldBytes, 16, 0)), QStringLiteral("16"));
    QVERIFY(FieldLengthText(MakeField("Nascimento", fldDate, 4, 0)).isEmpty());
    QVERIFY(FieldLengthText(MakeField("Codigo", fldLong, 4, 0)).isEmpty());
    QVERIFY(FieldLengthText(MakeField("Preco", fldMoney, 8, 2)).isEmpty());
}

void FieldsListBoxTest::typeNamesComeFromTheCurrentDatabase()
{
    QVERIFY(TvxDatabase::Current() == nullptr);
    QVERIFY(FieldTypeNameText(fldAlpha).isEmpty());
    QVERIFY(!CurrentDatabaseExists());

    test::TestEngine engine;
    QVERIFY(engine.dir.isValid());
    TvxDatabase database(*engine.engine);
    QVERIFY(CurrentDatabaseExists());
    const QString alpha = FieldTypeNameText(fldAlpha);
    QVERIFY(!alpha.isEmpty());
    QCOMPARE(alpha, QString::fromStdString(database.FieldTypeName(fldAlpha)));
    QVERIFY(FieldTypeNameText(fldBcd) != alpha);
    QVERIFY(FieldTypeNameText(999).isEmpty());

    TvxFieldsListBox list;
    const TvxFieldDesc fields[] = {MakeField("Estranho", 999, 5, 0), MakeField("Nome", fldAlpha, 20, 0)};
    list.ShowFields(fields, 2);
    QVERIFY(list.ItemText(0, 1).isEmpty());
    QCOMPARE(list.ItemText(1, 1), alpha);
}

void FieldsListBoxTest::showFieldsReplacesTheItems()
{
    TvxFieldsListBox list;
    QCOMPARE(list.columnCount(), 3);
    QCOMPARE(list.headerItem()->text(2), QStringLiteral("Comprimento"));

    const TvxFieldDesc fields[] = {MakeField("Codigo", fldLong), MakeField("Nome", fldAlpha, 30),
                                   MakeField("Saldo", fldBcd, 32, 2)};
    list.ShowFields(fields, 3);
    QCOMPARE(list.topLevelItemCount(), 3);
    QCOMPARE(list.ItemText(0, 0), QStringLiteral("Codigo"));
    QVERIFY(list.ItemText(0, 2).isEmpty());
    QCOMPARE(list.ItemText(1, 2), QStringLiteral("30"));
    QCOMPARE(list.ItemText(2, 0), QStringLiteral("Saldo"));
    QCOMPARE(list.ItemText(2, 2), QStringLiteral("2"));

    list.ShowFields(fields, 1);
    QCOMPARE(list.topLevelItemCount(), 1);
    list.ShowFields(fields, 0);
    QCOMPARE(list.topLevelItemCount(), 0);
    list.ShowFields(fields, 2);
    list.ShowFields(nullptr, 5);
    QCOMPARE(list.topLevelItemCount(), 0);
    list.ShowFields(fields, -1);
    QCOMPARE(list.topLevelItemCount(), 0);
}

void FieldsListBoxTest::namesAreConvertedFromTheTableCodePage()
{
    // "Ação" in Windows-1252 and in code page 850.
    const std::string ansi = "A\xE7\xE3o";
    const std::string oem = "A\x87\xC6o";
    QCOMPARE(RecordTextToQString(ansi, 1252), QStringLiteral("Ação"));
    QCOMPARE(RecordTextToQString(oem, 850), QStringLiteral("Ação"));
    QCOMPARE(QStringToRecordText(QStringLiteral("Ação"), 1252), ansi);
    QCOMPARE(QStringToRecordText(QStringLiteral("Ação"), 850), oem);
    QCOMPARE(RecordTextToQString("\x80", 0), QStringLiteral("€"));
    QCOMPARE(QStringToRecordText(QStringLiteral("Ω"), 1252), std::string("?"));
    // Every byte survives a round trip through Windows-1252, the undefined ones included.
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    QCOMPARE(QStringToRecordText(RecordTextToQString(all, 1252), 1252), all);

    TvxFieldsListBox list;
    const TvxFieldDesc fields[] = {MakeField(oem, fldAlpha, 10)};
    list.ShowFields(fields, 1, 850);
    QCOMPARE(list.ItemText(0, 0), QStringLiteral("Ação"));
}

void FieldsListBoxTest::tabListKeepsTheFirstThousandEntries()
{
    TvxFieldsListBox list;
    QStringList tabs;
    for (int i = 0; i < 1005; ++i)
        tabs << QString::number(i + 1);
    list.SetTabList(tabs);
    QCOMPARE(list.TabList().size(), 1005);
    QCOMPARE(list.TabStops().size(), std::size_t(1000));
    QCOMPARE(list.TabStops().front(), 4);
    QCOMPARE(list.TabStops().back(), 4000);
}

void FieldsListBoxTest::tabListRefusesNonIntegers()
{
    TvxFieldsListBox list;
    list.SetTabList({QStringLiteral("10"), QStringLiteral("20")});
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, list.SetTabList({QStringLiteral("10"), QStringLiteral("x1")}));
    // Valid integers whose dialog units would not fit are refused the same way.
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, list.SetTabList({QStringLiteral("600000000")}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, list.SetTabList({QStringLiteral("-600000000")}));
    QCOMPARE(list.TabStops().size(), std::size_t(2));
    QCOMPARE(list.TabStops()[1], 80);
}

void FieldsListBoxTest::horizontalScrollBarFollowsTheProperty()
{
    TvxFieldsListBox list;
    QVERIFY(!list.ShowHorScrollBar());
    QCOMPARE(list.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    list.SetShowHorScrollBar(true);
    QVERIFY(list.ShowHorScrollBar());
    QCOMPARE(list.horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
}

QTEST_MAIN(FieldsListBoxTest)
#include "FieldsListBoxTest.moc"
