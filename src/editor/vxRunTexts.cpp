#include "editor/vxRunTexts.h"

#include "editor/vxStrings.h"
#include "script/TvxUpdateReport.h"

#include <QDir>
#include <QStringList>

namespace morvane {

namespace {

enum : int {
    vxRunAsk = 10110,
    vxRunSource,
    vxRunTarget,
    vxRunReplaces,
    vxPreviewHead = 10117,
    vxPreviewTable,
    vxActionCreate,
    vxActionCopy,
    vxActionRestructure,
    vxPreviewCuts,
    vxBlankValue,
    vxPreviewBreaks,
    vxPreviewSetAside,
    vxPreviewPassword,
    vxPreviewPasswordFor,
    vxPreviewTotals,
    vxCheckRequired,
    vxCheckMinimum,
    vxCheckMaximum,
    vxCheckPicture,
    vxCheckRule,
    vxResultHead,
    vxResultTables,
    vxResultRecords,
    vxResultSetAside,
    vxResultProblemTable,
    vxNote,
};

QString T(int id)
{
    return vxLoadString(id);
}

QString U(const std::string& text)
{
    return QString::fromStdString(text);
}

QString Path(const std::string& path)
{
    return QDir::toNativeSeparators(QString::fromStdString(path));
}

QString Action(const TvxTableUpdateReport& table)
{
    if (table.action == "copy")
        return T(vxActionCopy).arg(U(table.origin));
    if (table.action == "restructure")
        return T(vxActionRestructure).arg(U(table.origin));
    return T(vxActionCreate);
}

QString Check(const std::string& check)
{
    if (check == "required")
        return T(vxCheckRequired);
    if (check == "minimum")
        return T(vxCheckMinimum);
    if (check == "maximum")
        return T(vxCheckMaximum);
    if (check == "picture")
        return T(vxCheckPicture);
    const std::string rule = "rule ";
    if (check.rfind(rule, 0) == 0)
        return T(vxCheckRule).arg(U(check.substr(rule.size())));
    return U(check);
}

} // namespace

QString vxRunQuestion(const QString& script, const QString& source, const QString& target, bool targetHasTables)
{
    QStringList lines{T(vxRunAsk).arg(QDir::toNativeSeparators(script)),
                      T(vxRunSource).arg(QDir::toNativeSeparators(source)),
                      T(vxRunTarget).arg(QDir::toNativeSeparators(target))};
    if (targetHasTables)
        lines << T(vxRunReplaces);
    return lines.join(QLatin1Char('\n'));
}

QString vxRunPreview(const TvxUpdateReport& preview)
{
    QStringList lines{T(vxPreviewHead).arg(Path(preview.scriptFile)), T(vxRunSource).arg(Path(preview.source)),
                      T(vxRunTarget).arg(Path(preview.target))};
    for (const TvxTableUpdateReport& t : preview.tables) {
        lines << T(vxPreviewTable).arg(U(t.table), Action(t)).arg(t.recordsCarried).arg(t.recordsRead);
        if (t.valuesCut > 0) {
            lines << T(vxPreviewCuts).arg(t.valuesCut);
            for (const TvxValueCut& cut : t.cutExamples)
                lines << QStringLiteral("    %1: \"%2\" \u2192 %3")
                             .arg(U(cut.field), U(cut.original),
                                  cut.stored.empty() ? T(vxBlankValue) : QLatin1Char('"') + U(cut.stored) + QLatin1Char('"'));
        }
        for (const TvxCheckBreak& b : t.checkBreaks)
            lines << T(vxPreviewBreaks).arg(b.records).arg(Check(b.check), U(b.field));
        if (t.problemRecords > 0)
            lines << T(vxPreviewSetAside).arg(t.problemRecords).arg(U(t.problemTable));
        if (t.keyViolations > 0)
            lines << T(vxPreviewSetAside).arg(t.keyViolations).arg(U(t.keyViolTable));
        if (t.passwordNeeded)
            lines << T(vxPreviewPassword);
        for (const std::string& note : t.notes)
            lines << T(vxNote).arg(U(note));
    }
    for (const std::string& table : preview.passwordsNeeded)
        lines << T(vxPreviewPasswordFor).arg(U(table));
    lines << T(vxPreviewTotals)
                 .arg(preview.TotalRecordsCarried())
                 .arg(preview.TotalValuesCut())
                 .arg(preview.TotalProblemRecords())
                 .arg(preview.TotalKeyViolations());
    return lines.join(QLatin1Char('\n'));
}

QString vxRunResult(const TvxUpdateReport& report)
{
    QStringList tables;
    for (const TvxTableUpdateReport& t : report.tables)
        tables << U(t.table);
    QStringList lines{T(vxResultHead).arg(Path(report.scriptFile)), T(vxRunTarget).arg(Path(report.target)),
                      T(vxResultTables).arg(tables.join(QStringLiteral(", "))),
                      T(vxResultRecords).arg(report.TotalRecordsCarried())};
    QStringList aside;
    for (const TvxTableUpdateReport& t : report.tables) {
        if (t.problemRecords > 0)
            aside << T(vxResultProblemTable).arg(U(t.problemTable)).arg(t.problemRecords);
        if (t.keyViolations > 0)
            aside << T(vxResultProblemTable).arg(U(t.keyViolTable)).arg(t.keyViolations);
    }
    if (!aside.isEmpty())
        lines << T(vxResultSetAside) << aside;
    return lines.join(QLatin1Char('\n'));
}

bool vxHasTables(const QString& directory)
{
    // Name filters ignore letter case: "*.db" finds "CLIENTES.DB" as well.
    return !directory.isEmpty() && !QDir(directory).entryList({QStringLiteral("*.db")}, QDir::Files).isEmpty();
}

} // namespace morvane
