// The fields list and the texts both field views show: name in the table's code page, type
// name from the field types the list is given, length by type.

#include <QtTest>

#include <stdexcept>

#include "TestFields.h"
#include "db/cpDatabase.h"
#include "model/vxFieldTypes.h"
#include "views/TvxFieldTypeNames.h"
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
    void typeNamesComeFromTheGivenFieldTypes();
    void showFieldsReplacesTheItems();
    void namesAreConvertedFromTheTableCodePage();
    void tabListKeepsTheFirstThousandEntries();
    void tabListRefusesNonIntegers();
    void horizontalScrollBarFollowsTheProperty();
};

void FieldsListBoxTest::lengthColumnFollowsTheType()
{
    QCOMPARE(FieldLengthText(MakeField("Valor", 0, fldBcd, 4)), QStringLiteral("4"));
    QCOMPARE(FieldLengthText(MakeField("Nome", 0, fldAlpha, 40)), QStringLiteral("40"));
    QCOMPARE(FieldLengthText(MakeField("Nota", 0, fldMemo, 10)), QStringLiteral("10"));
    QCOMPARE(FieldLengthText(MakeField("Dados", 0, fldBytes, 16)), QStringLiteral("16"));
    for (const int type : {fldDate, fldLong, fldMoney}) {
        TvxFieldDesc field = MakeField("Campo", 0, type);
        field.setUnits1(8); // units a type without a size may carry are not shown
        field.setUnits2(2);
        QVERIFY(FieldLengthText(field).isEmpty());
    }
}

void FieldsListBoxTest::typeNamesComeFromTheGivenFieldTypes()
{
    test::TestEngine engine;
    TvxDatabase database(*engine.engine);
    const TvxFieldTypeNames names(database.FieldTypeList());
    QVERIFY(TvxFieldTypeNames().NameOf(fldAlpha).isEmpty());
    QVERIFY(TvxFieldTypeNames().Empty());
    QVERIFY(!names.Empty());
    const QString alpha = names.NameOf(fldAlpha);
    QVERIFY(!alpha.isEmpty());
    QCOMPARE(alpha, QString::fromStdString(database.FieldTypeName(fldAlpha)));
    // Every type the driver lists is named as the connection names it.
    for (const TvxFieldTypeEntry& type : database.FieldTypeList())
        QCOMPARE(names.NameOf(type.record.typeCode()), QString::fromStdString(type.name));
    QVERIFY(names.NameOf(fldBcd) != alpha);
    QVERIFY(names.NameOf(999).isEmpty());

    // A list without types shows empty type names; given them, it names the types it knows.
    TvxFieldsListBox list;
    const TvxFieldDesc fields[] = {MakeField("Estranho", 0, 999), MakeField("Nome", 0, fldAlpha, 20)};
    list.ShowFields(fields, 2);
    QVERIFY(list.ItemText(1, 1).isEmpty());
    list.SetFieldTypeNames(names);
    list.ShowFields(fields, 2);
    QVERIFY(list.ItemText(0, 1).isEmpty());
    QCOMPARE(list.ItemText(1, 1), alpha);
}

void FieldsListBoxTest::showFieldsReplacesTheItems()
{
    TvxFieldsListBox list;
    QCOMPARE(list.columnCount(), 3);
    QCOMPARE(list.headerItem()->text(2), QStringLiteral("Comprimento"));

    const TvxFieldDesc fields[] = {MakeField("Codigo", 0, fldLong), MakeField("Nome", 0, fldAlpha, 30),
                                   MakeField("Saldo", 0, fldBcd, 2)};
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
