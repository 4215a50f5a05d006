// The version texts: the look-up through the translation entry, and what the program ships.

#include "views/TvxResourceVersion.h"

#include <QTest>

using namespace morvane;

class ResourceVersionTest : public QObject
{
    Q_OBJECT

private slots:
    void queryForm();
    void programValues();
    void missingKeyLeavesOnlyThatTextEmpty();
    void otherTranslationIsQueriedByItsOwnNumbers();
    void noTranslationOrNoResourceGivesEmptyTexts();
};

void ResourceVersionTest::queryForm()
{
    // Language 0x0416 in the low half, code page 0x04E4 in the high half.
    QCOMPARE(TvxResourceVersion::StringQuery(0x04E40416u, "ProductName"),
             std::string("\\StringFileInfo\\041604e4\\ProductName"));
    QCOMPARE(TvxResourceVersion::StringQuery(0x04B00409u, "Comments"),
             std::string("\\StringFileInfo\\040904b0\\Comments"));
    QCOMPARE(TvxResourceVersion::StringQuery(0x00000000u, "X"), std::string("\\StringFileInfo\\00000000\\X"));
}

void ResourceVersionTest::programValues()
{
    const TvxResourceVersion& version = TvxResourceVersion::Instance();
    QCOMPARE(&version, &TvxResourceVersion::Instance());
    QCOMPARE(version.ProductName(), QStringLiteral("Morvane for Paradox"));
    QCOMPARE(version.InternalName(), QStringLiteral("Morvane"));
    QCOMPARE(version.ProductVersion(), QStringLiteral("1.1"));
    QCOMPARE(version.FileVersion(), QStringLiteral("1.1.0.0"));
    QVERIFY(!version.LegalCopyright().isEmpty());
    QVERIFY(version.SpecialBuild().isEmpty());
    std::uint32_t translation = 0;
    QVERIFY(ProgramVersionResource().QueryTranslation(translation));
    QCOMPARE(translation, 0x04E40416u);
    std::string value;
    QVERIFY(ProgramVersionResource().QueryValue("\\StringFileInfo\\041604e4\\ProductName", value));
    QCOMPARE(value, std::string("Morvane for Paradox"));
}

void ResourceVersionTest::missingKeyLeavesOnlyThatTextEmpty()
{
    TvxVersionResource resource;
    resource.translations = {0x04E40416u};
    resource.strings["\\StringFileInfo\\041604e4\\ProductName"] = "Produto";
    resource.strings["\\StringFileInfo\\041604e4\\FileVersion"] = "2.0.0.1";
    resource.strings["\\StringFileInfo\\041604e4\\LegalCopyright"] = "© Empresa";
    const TvxResourceVersion version(&resource);
    QCOMPARE(version.ProductName(), QStringLiteral("Produto"));
    QCOMPARE(version.FileVersion(), QStringLiteral("2.0.0.1"));
    QCOMPARE(version.LegalCopyright(), QString::fromUtf8("© Empresa"));
    QVERIFY(version.ProductVersion().isEmpty());
    QVERIFY(version.InternalName().isEmpty());
    QVERIFY(version.Comments().isEmpty());
}

void ResourceVersionTest::otherTranslationIsQueriedByItsOwnNumbers()
{
    // Only the first translation entry counts; values under other blocks are not read.
    TvxVersionResource resource;
    resource.translations = {0x04B00409u, 0x04E40416u};
    resource.strings["\\StringFileInfo\\040904b0\\ProductName"] = "English";
    resource.strings["\\StringFileInfo\\041604e4\\ProductName"] = "Português";
    resource.strings["\\StringFileInfo\\041604e4\\CompanyName"] = "Somente pt";
    const TvxResourceVersion version(&resource);
    QCOMPARE(version.ProductName(), QStringLiteral("English"));
    QVERIFY(version.CompanyName().isEmpty());
}

void ResourceVersionTest::noTranslationOrNoResourceGivesEmptyTexts()
{
    TvxVersionResource resource;
    resource.strings["\\StringFileInfo\\041604e4\\ProductName"] = "Produto";
    for (const TvxVersionResource* source : {static_cast<const TvxVersionResource*>(&resource),
                                             static_cast<const TvxVersionResource*>(nullptr)}) {
        const TvxResourceVersion version(source);
        for (const QString* text : {&version.Comments(), &version.CompanyName(), &version.FileDescription(),
                                    &version.FileVersion(), &version.InternalName(), &version.LegalCopyright(),
                                    &version.LegalTrademarks(), &version.OriginalFilename(),
                                    &version.PrivateBuild(), &version.ProductName(), &version.ProductVersion(),
                                    &version.SpecialBuild()})
            QVERIFY(text->isEmpty());
    }
}

QTEST_MAIN(ResourceVersionTest)
#include "ResourceVersionTest.moc"
