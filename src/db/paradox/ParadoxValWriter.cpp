#include "db/paradox/ParadoxValWriter.h"

#include "db/paradox/ParadoxLayout.h"

#include <algorithm>

namespace morvane {

namespace {

namespace V = ParadoxValLayout;

constexpr std::size_t FooterNameArea = ParadoxHeader::NameAreaBytes;
constexpr std::size_t DependentMasterTableBytes = V::DepUpdateRule - V::DepMasterTable;

class Bytes
{
public:
    std::size_t size() const { return data_.size(); }
    void u8(std::size_t at, unsigned v) { grow(at + 1)[at] = static_cast<std::uint8_t>(v); }
    void u16(std::size_t at, unsigned v) { ParadoxPutLe16(&grow(at + 2)[at], static_cast<std::uint16_t>(v)); }
    void u32(std::size_t at, std::uint32_t v) { ParadoxPutLe32(&grow(at + 4)[at], v); }
    // Text in a fixed area of width bytes, always NUL-terminated.
    void text(std::size_t at, const std::string& s, std::size_t width)
    {
        grow(at + width);
        std::copy_n(s.begin(), std::min(s.size(), width - 1), data_.begin() + static_cast<std::ptrdiff_t>(at));
    }
    void bytes(std::size_t at, const std::vector<std::uint8_t>& v)
    {
        grow(at + v.size());
        std::copy(v.begin(), v.end(), data_.begin() + static_cast<std::ptrdiff_t>(at));
    }
    void positions(std::size_t at, const std::vector<int>& fields)
    {
        grow(at + 2 * V::MaxRuleFields);
        for (std::size_t i = 0; i < fields.size() && i < V::MaxRuleFields; ++i)
            u16(at + 2 * i, static_cast<unsigned>(fields[i]));
    }
    std::vector<std::uint8_t> take() { return std::move(data_); }

private:
    std::vector<std::uint8_t>& grow(std::size_t n)
    {
        if (data_.size() < n)
            data_.resize(n, 0);
        return data_;
    }
    std::vector<std::uint8_t> data_;
};

void writeChecks(Bytes& b, const ParadoxValFile& v)
{
    b.u8(V::FirstCheck - 1, 0); // the header's zero area, also without checks
    std::size_t pos = V::FirstCheck;
    for (const auto& c : v.checks) {
        b.u8(pos + V::CheckField, static_cast<unsigned>(c.fieldPosition));
        b.u8(pos + V::CheckPictureLength, c.picture.empty() ? 0 : static_cast<unsigned>(c.picture.size() + 1));
        b.u8(pos + V::CheckRequired, c.required ? 1 : 0);
        b.u8(pos + V::CheckLookupOptions, c.hasLookup ? c.lookupOptions : 0);
        // The engine leaves stale pointers in these words; readers only test them for zero.
        b.u32(pos + V::CheckHasLookup, c.hasLookup ? 1 : 0);
        b.u32(pos + V::CheckHasMinimum, c.hasMinimum ? 1 : 0);
        b.u32(pos + V::CheckHasMaximum, c.hasMaximum ? 1 : 0);
        b.u32(pos + V::CheckHasDefault, c.hasDefault ? 1 : 0);
        b.u32(pos + V::CheckHasPicture, c.picture.empty() ? 0 : 1);
        pos += V::CheckFixedPart;
        if (c.hasLookup) {
            b.text(pos, c.lookupTable, V::LookupTableName);
            b.u8(pos + V::LookupBlock - 1, 0);
            pos += V::LookupBlock;
        }
        for (const auto& [present, value] : {std::pair{c.hasMinimum, &c.minimum}, std::pair{c.hasMaximum, &c.maximum},
                                             std::pair{c.hasDefault, &c.defaultValue}})
            if (present) {
                b.bytes(pos, *value);
                pos += value->size();
            }
        if (!c.picture.empty()) {
            b.text(pos, c.picture, c.picture.size() + 1);
            pos += c.picture.size() + 1;
        }
    }
}

void writeRules(Bytes& b, const ParadoxValFile& v)
{
    const std::size_t start = b.size();
    b.u16(start, static_cast<unsigned>(v.dependentRules.size()));
    std::size_t at = start + 2;
    for (const auto& r : v.dependentRules) {
        b.text(at + V::RuleName, r.name, V::RuleNameBytes);
        b.text(at + V::DepIndexName, r.indexName, V::RuleNameBytes);
        b.u8(at + V::DepIndexNumber, static_cast<unsigned>(r.indexNumber));
        b.text(at + V::DepMasterTable, r.masterTable, DependentMasterTableBytes);
        b.u32(at + V::DepUpdateRule, r.updateRule);
        b.u16(at + V::DepFieldCount, static_cast<unsigned>(r.fields.size()));
        b.positions(at + V::DepFields, r.fields);
        b.positions(at + V::DepMasterFields, r.masterFields);
        b.u8(at + V::DependentRecord - 1, 0);
        at += V::DependentRecord;
    }
    const bool master = !v.masterRules.empty();
    b.u16(at, master ? 1 : 0);
    if (!master)
        return;
    b.u16(at + V::MasterKeyCount, static_cast<unsigned>(v.masterKeyFields.size()));
    b.positions(at + V::MasterKeyFields, v.masterKeyFields);
    b.u16(at + V::MasterRuleCount, static_cast<unsigned>(v.masterRules.size()));
    std::size_t r = at + V::MasterRules;
    for (const auto& m : v.masterRules) {
        b.text(r + V::RuleName, m.name, V::RuleNameBytes);
        b.text(r + V::MasDependentTable, m.dependentTable, V::MasDependentTableBytes);
        b.text(r + V::MasIndexName, m.indexName, V::MasIndexNameBytes);
        b.u16(r + V::MasIndexNumber, static_cast<unsigned>(m.indexNumber));
        b.u16(r + V::MasUpdateRule, m.updateRule);
        b.positions(r + V::MasDependentFields, m.dependentFields);
        b.u8(r + V::MasterRecord - 1, 0);
        r += V::MasterRecord;
    }
}

void writeFooter(Bytes& b, const ParadoxValIdentity& t)
{
    const std::size_t at = b.size();
    const std::size_t n = t.fields.size();
    std::size_t trailing = FooterNameArea;
    for (const auto& f : t.fields)
        trailing += f.name.size() + 1;
    b.u16(at + V::FooterFieldCount, static_cast<unsigned>(n));
    b.u16(at + 2, t.keyFields);
    b.u16(at + 4, static_cast<unsigned>(trailing));
    for (std::size_t i = 0; i < n; ++i) {
        b.u16(at + V::FooterIds + 2 * i, t.fields[i].id);
        b.u8(at + V::FooterIds + 2 * n + 2 * i, t.fields[i].type);
        b.u8(at + V::FooterIds + 2 * n + 2 * i + 1, t.fields[i].size);
    }
    std::size_t pos = at + V::FooterIds + 4 * n;
    b.text(pos, t.nameArea, FooterNameArea);
    pos += FooterNameArea;
    for (const auto& f : t.fields) {
        b.text(pos, f.name, f.name.size() + 1);
        pos += f.name.size() + 1;
    }
}

} // namespace

std::vector<std::uint8_t> ParadoxBuildValFile(const ParadoxValIdentity& table, const ParadoxValFile& content)
{
    Bytes b;
    b.u8(V::ChangeCount, table.changeCount);
    b.u8(V::Version, table.version);
    b.u8(V::CheckCount, static_cast<unsigned>(content.checks.size()));
    b.u32(V::UpdateTime, table.updateTime);
    b.u8(V::HiFieldId, table.hiFieldId & 0xFF);
    writeChecks(b, content);
    if (!content.dependentRules.empty() || !content.masterRules.empty()) {
        b.u32(V::RefIntOffset, static_cast<std::uint32_t>(b.size()));
        writeRules(b, content);
    }
    b.u32(V::FooterOffset, static_cast<std::uint32_t>(b.size()));
    writeFooter(b, table);
    return b.take();
}

} // namespace morvane
