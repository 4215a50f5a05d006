#include "diagram/vxDiagramOfTables.h"

#include "model/vxCodePage.h"
#include "model/vxFieldTypes.h"
#include "model/vxTextCase.h"

#include <algorithm>

namespace morvane {

namespace {

// A number shown in place of a name: "#3", "?300".
std::string NumberText(char prefix, int n)
{
    std::string text(1, prefix);
    text += std::to_string(n);
    return text;
}

std::string FieldName(const TvxTableDesc& desc, int fieldNo)
{
    const TvxFieldDesc* f = desc.GetField(fieldNo - 1);
    return f ? CodePageToUtf8(f->name(), desc.CodePage()) : NumberText('#', fieldNo);
}

// Key field numbers of an index, as recorded (at most 16, zeros skipped).
std::vector<int> KeyFields(const TvxIndexDesc& index)
{
    std::vector<int> out;
    const int n = std::clamp(index.keyFieldCount(), 0, TvxIndexDesc::MaxKeyFields);
    for (int i = 0; i < n; ++i)
        if (index.keyField(i) > 0)
            out.push_back(index.keyField(i));
    return out;
}

} // namespace

std::string DiagramName(const std::string& name, int codePage)
{
    return IsUtf8(name) ? name : CodePageToUtf8(name, codePage);
}

std::string DiagramTypeText(const TvxFieldDesc& field)
{
    static constexpr const char* letters[] = {"A", "N", "$", "D", "S", "M", "B", "F", "O",
                                              "G", "I", "T", "@", "L", "+", "Y", "#"};
    const int code = field.type();
    if (code < fldAlpha || code > fldBcd)
        return NumberText('?', code);
    std::string text = letters[code - fldAlpha];
    if (TypeNeedsSize(code))
        text += std::to_string(code == fldBcd ? field.units2() : field.units1());
    return text;
}

std::string RuleMasterName(const TvxRefIntDesc& rule)
{
    const std::string other = rule.otherTable();
    const std::string_view file = StripDirectory(other);
    return std::string(file.substr(0, file.find('.')));
}

TvxDiagramTable DiagramTableOf(const std::string& name, const TvxTableDesc& desc)
{
    TvxDiagramTable table;
    table.name = DiagramName(name, desc.CodePage());
    table.protectedTable = desc.Protected();
    std::vector<int> key;
    std::vector<bool> indexed(desc.Fields().size() + 1, false);
    for (int i = 0; i < desc.IndexCount(); ++i) {
        const TvxIndexDesc& index = *desc.GetIndex(i);
        if (desc.IsPrimary(i) && key.empty()) {
            key = KeyFields(index);
            continue;
        }
        ++table.indexCount;
        for (int fieldNo : KeyFields(index))
            if (fieldNo < static_cast<int>(indexed.size()))
                indexed[static_cast<std::size_t>(fieldNo)] = true;
    }
    const auto add = [&](int fieldNo, bool isKey) {
        const TvxFieldDesc* f = desc.GetField(fieldNo - 1);
        if (!f)
            return;
        TvxDiagramField field;
        field.name = CodePageToUtf8(f->name(), desc.CodePage());
        field.type = DiagramTypeText(*f);
        field.key = isKey;
        field.indexed = indexed[static_cast<std::size_t>(fieldNo)];
        table.fields.push_back(std::move(field));
    };
    for (int fieldNo : key)
        add(fieldNo, true);
    for (int fieldNo = 1; fieldNo <= desc.FieldCount(); ++fieldNo)
        if (std::find(key.begin(), key.end(), fieldNo) == key.end())
            add(fieldNo, false);
    return table;
}

TvxDiagramRule DiagramRuleOf(const TvxRefIntDesc& rule, const std::string& dependent, const TvxTableDesc& desc,
                             const std::string& master, const TvxTableDesc* masterDesc)
{
    TvxDiagramRule r;
    r.name = CodePageToUtf8(rule.name(), desc.CodePage());
    r.dependent = dependent;
    r.master = master;
    r.cascade = rule.updateRule() == TvxRefIntDesc::Cascade;
    const int n = std::clamp(rule.fieldCount(), 0, TvxRefIntDesc::MaxFields);
    for (int i = 0; i < n; ++i) {
        r.fields.push_back(FieldName(desc, rule.thisField(i)));
        r.masterFields.push_back(masterDesc ? FieldName(*masterDesc, rule.otherField(i))
                                            : NumberText('#', rule.otherField(i)));
    }
    return r;
}

TvxDiagram DiagramOfTables(std::span<const TvxDiagramSource> tables)
{
    TvxDiagram diagram;
    for (const TvxDiagramSource& t : tables)
        diagram.tables.push_back(DiagramTableOf(t.name, *t.desc));
    const std::size_t listed = diagram.tables.size();
    for (std::size_t i = 0; i < listed; ++i) {
        const TvxTableDesc& desc = *tables[i].desc;
        for (const TvxRefIntDesc& rule : desc.RefInts()) {
            if (rule.kind() != TvxRefIntDesc::Dependent)
                continue;
            const std::string masterName = DiagramName(RuleMasterName(rule), desc.CodePage());
            const int master = diagram.TableOrMissing(masterName);
            const TvxTableDesc* masterDesc =
                static_cast<std::size_t>(master) < listed ? tables[static_cast<std::size_t>(master)].desc : nullptr;
            diagram.rules.push_back(DiagramRuleOf(rule, diagram.tables[i].name, desc,
                                                  diagram.tables[static_cast<std::size_t>(master)].name, masterDesc));
        }
    }
    return diagram;
}

} // namespace morvane
