#include "db/paradox/ParadoxWriterPlan.h"

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxIndexWriter.h"
#include "db/paradox/ParadoxLanguageDrivers.h"
#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxPassword.h"
#include "db/paradox/ParadoxValueEncoding.h"
#include "model/vxCodePage.h"
#include "model/vxFieldTypes.h"
#include "model/vxNameRules.h"
#include "model/vxTextCase.h"

#include <algorithm>
#include <ctime>
#include <set>

namespace morvane {

namespace {

constexpr std::size_t MaxFieldName = 25;
constexpr int MaxKeyFields = 16;
constexpr int MaxXgIndexes = 16; // XG0 .. XGF
constexpr int MaxXnnField = 99;
constexpr std::uint8_t BlockSizes[] = {2, 4, 16, 32};

class Planner
{
public:
    Planner(const TvxTableDesc& desc, const std::string& tableName, const ParadoxWriteOptions& options)
        : desc_(desc), options_(options)
    {
        p_.tableName = tableName;
        p_.extensions = options.extensions;
        p_.carry = options.carry;
    }

    ParadoxTablePlan run()
    {
        if (const std::string problem = TableNameProblem(p_.tableName); !problem.empty())
            throw EvxEngineError(vxErrCannotWrite, problem);
        p_.level = requestedLevel();
        planFields();
        planKey();
        planIndexes();
        planVal();
        planDriver();
        planLevel();
        planBlocks();
        planIdentity();
        return std::move(p_);
    }

private:
    [[noreturn]] void fail(const std::string& why) const
    {
        throw EvxEngineError(vxErrCannotWrite, p_.tableName + ".DB: " + why);
    }

    void needLevel(int level, const std::string& why)
    {
        if (p_.level >= level)
            return;
        p_.warnings.push_back("level " + std::to_string(p_.level) + " raised to " + std::to_string(level) + ": " + why);
        p_.level = level;
    }

    int requestedLevel() const
    {
        const int level = options_.level != 0 ? options_.level : desc_.TableLevel() != 0 ? desc_.TableLevel() : 7;
        if (level != 3 && level != 4 && level != 5 && level != 7)
            fail("level " + std::to_string(level) + " is not 3, 4, 5 or 7");
        return level;
    }

    std::string fieldName(int pos) const { return p_.fields[static_cast<std::size_t>(pos)].name; }

    void planFields()
    {
        const int n = desc_.FieldCount();
        if (n < 1 || n > 255)
            fail(std::to_string(n) + " fields (1 to 255 can be written)");
        std::size_t offset = 0;
        std::set<std::string> names;
        for (int i = 0; i < n; ++i) {
            const TvxFieldDesc& d = *desc_.GetField(i);
            ParadoxField f;
            f.name = d.name();
            const std::string label = "field " + std::to_string(i + 1) + " (" + f.name + ")";
            if (f.name.empty() || f.name.size() > MaxFieldName)
                fail(label + ": a name of 1 to 25 characters is needed");
            if (!names.insert(UpperText(f.name)).second)
                fail(label + ": the name is used twice");
            f.type = ParadoxDiskTypeOf(d.type());
            if (f.type == 0)
                fail(label + ": unknown type " + std::to_string(d.type()));
            f.size = sizeByte(d, f.type, label);
            if (ParadoxIsBlobType(f.type)) {
                p_.hasBlobs = true;
                needLevel(4, label + " is a blob");
            }
            if (f.type == pxLong || f.type == pxTime || f.type == pxTimestamp || f.type == pxLogical ||
                f.type == pxAutoInc || f.type == pxBcd || f.type == pxBytes)
                needLevel(5, label + " has a type of level 5");
            p_.offsets.push_back(offset);
            offset += static_cast<std::size_t>(f.length());
            p_.fields.push_back(std::move(f));
        }
        p_.recordBytes = offset;
    }

    std::uint8_t sizeByte(const TvxFieldDesc& d, std::uint8_t type, const std::string& label) const
    {
        const auto ranged = [&](int v, int lo, int hi, const char* what) {
            if (v < lo || v > hi)
                fail(label + ": " + what + " " + std::to_string(v) + " outside " + std::to_string(lo) + ".." +
                     std::to_string(hi));
            return static_cast<std::uint8_t>(v);
        };
        switch (type) {
        case pxAlpha:
        case pxBytes:
            return ranged(d.units1(), 1, 255, "size");
        case pxMemo:
            return static_cast<std::uint8_t>(ranged(d.units1(), 1, 240, "blob size") + ParadoxBlobTail::Bytes);
        case pxBinary:
        case pxFmtMemo:
        case pxOle:
        case pxGraphic:
            return static_cast<std::uint8_t>(ranged(d.units1(), 0, 240, "blob size") + ParadoxBlobTail::Bytes);
        case pxBcd:
            return ranged(d.units2(), 0, 32, "decimals");
        case pxShort:
            return 2;
        case pxLogical:
            return 1;
        case pxNumber:
        case pxMoney:
        case pxTimestamp:
            return 8;
        default:
            return 4;
        }
    }

    void planKey()
    {
        for (const auto& x : desc_.Indexes()) {
            if (!x.primary())
                continue;
            const int k = x.keyFieldCount();
            if (k < 1 || k > MaxKeyFields)
                fail("a primary key of " + std::to_string(k) + " fields (1 to 16 can be written)");
            for (int i = 0; i < k; ++i) {
                if (x.keyField(i) != i + 1)
                    fail("the primary key must be the first fields in order");
                requireIndexable(i);
            }
            p_.keyFields = k;
        }
        std::vector<ParadoxKeySegment> segments;
        for (int i = 0; i < p_.keyFields; ++i) {
            segments.push_back({p_.offsets[static_cast<std::size_t>(i)],
                                static_cast<std::size_t>(p_.fields[static_cast<std::size_t>(i)].length()), false,
                                false, p_.fields[static_cast<std::size_t>(i)].type == pxAlpha});
            p_.keyBytes += static_cast<std::size_t>(p_.fields[static_cast<std::size_t>(i)].length());
        }
        p_.keyOrder = ParadoxKeyOrder(std::move(segments), collation());
    }

    void requireIndexable(int pos) const
    {
        if (ParadoxIsBlobType(p_.fields[static_cast<std::size_t>(pos)].type))
            fail("field " + std::to_string(pos + 1) + " (" + fieldName(pos) + ") is a blob and cannot be in a key");
    }

    int codePage() const { return desc_.CodePage() > 0 ? desc_.CodePage() : 1252; }
    std::string driverName() const
    {
        return desc_.LanguageDriver().empty() ? std::string("ANSIINTL") : desc_.LanguageDriver();
    }
    const ParadoxCollation& collation() const { return ParadoxCollation::ForDriver(driverName()); }

    void planIndexes()
    {
        std::set<int> xnnFields;
        std::set<int> xgNumbers;
        std::vector<const TvxIndexDesc*> composite;
        for (const auto& x : desc_.Indexes()) {
            if (x.primary())
                continue;
            ParadoxIndexPlan ix;
            const int m = x.keyFieldCount();
            if (m < 1 || m > MaxKeyFields)
                fail("index \"" + x.name() + "\" has " + std::to_string(m) + " fields (1 to 16 can be written)");
            bool anyDescending = false;
            for (int i = 0; i < m; ++i) {
                const int f = x.keyField(i);
                if (f < 1 || f > static_cast<int>(p_.fields.size()))
                    fail("index \"" + x.name() + "\" names field " + std::to_string(f));
                requireIndexable(f - 1);
                ix.fields.push_back(f);
                ix.descendingFields.push_back(x.descendingField(i));
                anyDescending = anyDescending || x.descendingField(i);
            }
            if (x.descending() && !anyDescending)
                std::fill(ix.descendingFields.begin(), ix.descendingFields.end(), true);
            ix.descending = x.descending() || anyDescending;
            ix.caseInsensitive = x.caseInsensitive();
            ix.unique = x.unique();
            const std::string first = fieldName(ix.fields.front() - 1);
            ix.composite = m > 1 || ix.caseInsensitive || ix.unique || ix.descending ||
                           (!x.name().empty() && !SameText(x.name(), first)) || ix.fields.front() > MaxXnnField ||
                           xnnFields.count(ix.fields.front()) > 0;
            if (ix.composite) {
                ix.name = x.name().empty() ? first : x.name();
                ix.number = x.id() >= 256 ? x.id() - 256 : -1;
            } else {
                ix.name = first;
                ix.number = ix.fields.front();
                xnnFields.insert(ix.number);
            }
            if (ix.unique || ix.descending)
                needLevel(7, "index \"" + ix.name + "\" is unique or descending");
            needLevel(4, "the table has secondary indexes");
            p_.indexes.push_back(std::move(ix));
        }
        addRuleIndexes();
        // Composite numbers: the descriptor's where free, else the lowest free one.
        for (auto& ix : p_.indexes) {
            const bool keep = ix.number >= 0 && ix.number < MaxXgIndexes && xgNumbers.count(ix.number) == 0;
            if (ix.composite && keep)
                xgNumbers.insert(ix.number);
            else if (ix.composite)
                ix.number = -1;
        }
        for (auto& ix : p_.indexes) {
            if (!ix.composite || ix.number >= 0)
                continue;
            int n = 0;
            while (xgNumbers.count(n) > 0)
                ++n;
            if (n >= MaxXgIndexes)
                fail("more than 16 named or composite indexes");
            ix.number = n;
            xgNumbers.insert(n);
        }
        const char hex[] = "0123456789ABCDEF";
        std::uint8_t stamp = 3;
        for (auto& ix : p_.indexes) {
            if (ix.composite) {
                ix.xExtension = std::string("XG") + hex[ix.number];
                ix.yExtension = std::string("YG") + hex[ix.number];
            } else {
                const std::string nn = (ix.number < 10 ? "0" : "") + std::to_string(ix.number);
                ix.xExtension = "X" + nn;
                ix.yExtension = "Y" + nn;
            }
            ix.stamp = stamp++;
            ix.maintained = p_.keyFields > 0;
            layoutX(ix);
        }
    }

    // The secondary index a rule's dependent side needs, added when the descriptor lacks it.
    void addRuleIndexes()
    {
        for (const auto& r : desc_.RefInts()) {
            if (r.kind() != TvxRefIntDesc::Dependent)
                continue;
            const std::vector<int> fields = ruleFields(r, true);
            if (findIndex(fields))
                continue;
            ParadoxIndexPlan ix;
            ix.fields = fields;
            ix.descendingFields.assign(fields.size(), false);
            ix.composite = fields.size() > 1 || xnnTaken(fields.front()) || fields.front() > MaxXnnField;
            ix.name = ix.composite ? r.name() : fieldName(fields.front() - 1);
            ix.number = ix.composite ? -1 : fields.front();
            p_.warnings.push_back("index \"" + ix.name + "\" added for referential-integrity rule \"" + r.name() + "\"");
            p_.indexes.push_back(std::move(ix));
        }
    }

    bool xnnTaken(int field) const
    {
        return std::any_of(p_.indexes.begin(), p_.indexes.end(),
                           [&](const ParadoxIndexPlan& ix) { return !ix.composite && ix.number == field; });
    }

    const ParadoxIndexPlan* findIndex(const std::vector<int>& fields) const
    {
        for (const auto& ix : p_.indexes)
            if (ix.fields == fields)
                return &ix;
        return nullptr;
    }

    std::vector<int> ruleFields(const TvxRefIntDesc& r, bool thisSide) const
    {
        const int n = r.fieldCount();
        if (n < 1 || n > TvxRefIntDesc::MaxFields)
            fail("rule \"" + r.name() + "\" has " + std::to_string(n) + " fields");
        std::vector<int> fields;
        for (int i = 0; i < n; ++i) {
            const int f = thisSide ? r.thisField(i) : r.otherField(i);
            if (f < 1 || (thisSide && f > static_cast<int>(p_.fields.size())))
                fail("rule \"" + r.name() + "\" names field " + std::to_string(f));
            fields.push_back(f);
        }
        return fields;
    }

    void layoutX(ParadoxIndexPlan& ix)
    {
        std::vector<ParadoxKeySegment> order;
        std::size_t offset = 0;
        const auto add = [&](ParadoxField f, bool fold, bool descending, bool value) {
            if (value)
                order.push_back({offset, static_cast<std::size_t>(f.length()), fold, descending, f.type == pxAlpha});
            offset += static_cast<std::size_t>(f.length());
            ix.xFields.push_back(std::move(f));
        };
        for (std::size_t i = 0; i < ix.fields.size(); ++i) {
            ParadoxField f = p_.fields[static_cast<std::size_t>(ix.fields[i] - 1)];
            f.id = static_cast<std::uint16_t>(ix.fields[i] | (ix.descendingFields[i] ? ParadoxHeader::DescendingFieldId : 0));
            add(f, ix.caseInsensitive && f.type == pxAlpha, ix.descendingFields[i], true);
        }
        ix.valueOrder = ParadoxKeyOrder(std::move(order), collation());
        const auto own = [&](ParadoxField f) {
            f.id = static_cast<std::uint16_t>(ix.xFields.size() + 1);
            return f;
        };
        const auto bookkeeping = [](const char* name, std::uint8_t type, std::uint8_t size) {
            ParadoxField f;
            f.name = name;
            f.type = type;
            f.size = size;
            return f;
        };
        if (p_.keyFields > 0) {
            for (int i = 0; i < p_.keyFields; ++i)
                add(own(p_.fields[static_cast<std::size_t>(i)]), false, false, false);
            add(own(bookkeeping("Blk Num", pxShort, 2)), false, false, false);
        } else {
            add(own(bookkeeping("Tup No", pxLong, 4)), false, false, false);
            add(own(bookkeeping("Blk Num", pxShort, 2)), false, false, false);
            add(own(bookkeeping("Tup Offset", pxShort, 2)), false, false, false);
        }
        ix.xRecordBytes = offset;
    }

    void planVal()
    {
        ParadoxValFile v;
        for (const auto& c : desc_.ValChecks())
            addCheck(v, c);
        std::sort(v.checks.begin(), v.checks.end(),
                  [](const ParadoxValCheck& a, const ParadoxValCheck& b) { return a.fieldPosition < b.fieldPosition; });
        for (const auto& r : desc_.RefInts()) {
            if (r.kind() == TvxRefIntDesc::Dependent)
                addDependent(v, r);
            else
                addMaster(v, r);
        }
        if (v.checks.empty() && v.dependentRules.empty() && v.masterRules.empty())
            return;
        needLevel(4, "the table has validity checks or referential integrity");
        p_.val = std::move(v);
    }

    void addCheck(ParadoxValFile& v, const TvxValCheckDesc& d)
    {
        const int pos = d.fieldNumber() - 1;
        if (pos < 0 || pos >= static_cast<int>(p_.fields.size()))
            fail("validity check of field " + std::to_string(d.fieldNumber()));
        const ParadoxField& f = p_.fields[static_cast<std::size_t>(pos)];
        ParadoxValCheck c;
        c.fieldPosition = pos;
        c.required = d.required();
        const auto value = [&](bool has, const std::uint8_t* area, const char* what, bool& present,
                               std::vector<std::uint8_t>& out) {
            if (!has)
                return;
            out.assign(static_cast<std::size_t>(f.length()), 0);
            std::string why;
            if (ParadoxNativeToDisk(f, area, out.data(), why)) {
                present = true;
                return;
            }
            if (why.find("no known form") == std::string::npos)
                fail("validity check of field " + std::to_string(pos + 1) + " (" + f.name + "), " + what + ": " + why);
            p_.warnings.push_back(std::string(what) + " of field " + f.name + " left out: " + why);
            out.clear();
        };
        value(d.hasMinimum(), d.minimum(), "minimum", c.hasMinimum, c.minimum);
        value(d.hasMaximum(), d.maximum(), "maximum", c.hasMaximum, c.maximum);
        value(d.hasDefault(), d.defaultValue(), "default", c.hasDefault, c.defaultValue);
        c.picture = d.picture();
        const std::int32_t lookup = d.i32(TvxValCheckDesc::oLookup);
        if (lookup >= 1 && lookup <= 4) {
            c.hasLookup = true;
            c.lookupOptions = static_cast<std::uint8_t>((lookup - 1) & 0x03);
            c.lookupTable = d.text(TvxValCheckDesc::oLookup + 4, 261);
        }
        v.checks.push_back(std::move(c));
    }

    void addDependent(ParadoxValFile& v, const TvxRefIntDesc& r)
    {
        ParadoxDependentRule d;
        d.name = r.name();
        d.fields = ruleFields(r, true);
        d.masterFields = ruleFields(r, false);
        d.masterTable = std::string(StripDirectory(r.otherTable()));
        d.updateRule = r.updateRule() == TvxRefIntDesc::Cascade ? 1 : 0;
        const ParadoxIndexPlan* ix = findIndex(d.fields);
        d.indexName = ix->name;
        d.indexNumber = ix->composite ? 0 : ix->number;
        v.dependentRules.push_back(std::move(d));
    }

    void addMaster(ParadoxValFile& v, const TvxRefIntDesc& r)
    {
        ParadoxMasterRule m;
        m.name = r.name();
        m.dependentTable = std::string(StripDirectory(r.otherTable()));
        m.updateRule = r.updateRule() == TvxRefIntDesc::Cascade ? 1 : 0;
        m.dependentFields = ruleFields(r, false);
        const std::vector<int> key = ruleFields(r, true);
        if (v.masterKeyFields.empty())
            v.masterKeyFields = key;
        else if (v.masterKeyFields != key)
            fail("rules \"" + v.masterRules.front().name + "\" and \"" + m.name + "\" link different master fields");
        // The dependent's index over its rule fields: named after its field (.Xnn) or stored.
        m.indexName = m.name;
        const TvxTableDesc* other = options_.otherTable ? options_.otherTable(m.dependentTable) : nullptr;
        bool found = false;
        if (other)
            for (const auto& x : other->Indexes()) {
                std::vector<int> fields;
                for (int i = 0; i < x.keyFieldCount(); ++i)
                    fields.push_back(x.keyField(i));
                if (x.primary() || fields != m.dependentFields)
                    continue;
                const TvxFieldDesc* f = other->GetField(fields.front() - 1);
                const bool xnn = fields.size() == 1 && !x.caseInsensitive() && !x.unique() && !x.descending() &&
                                 f && (x.name().empty() || SameText(x.name(), f->name()));
                m.indexName = xnn ? f->name() : x.name();
                m.indexNumber = xnn ? fields.front() : 0;
                found = true;
                break;
            }
        if (!found)
            p_.warnings.push_back("rule \"" + m.name + "\": the index of dependent table " + m.dependentTable +
                                  " was not found; its name is taken from the rule");
        v.masterRules.push_back(std::move(m));
    }

    void planDriver()
    {
        p_.languageDriver = driverName();
        const auto driver = ParadoxDriverNamed(p_.languageDriver);
        const int driverPage = driver ? driver->codePage : 0;
        const auto word = p_.carry.codePageWord;
        p_.textCodePage = codePage();
        if (word && (*word == codePage() || (*word == 0 && driverPage == codePage())))
            p_.codePage = *word;
        else // a code page without a number of its own (HP Roman-8) is named by the driver alone
            p_.codePage = static_cast<std::uint16_t>(codePage() == vxRoman8CodePage ? 0 : codePage());
        if (p_.carry.sortOrder) {
            p_.sortOrder = *p_.carry.sortOrder;
        } else if (const auto s = ParadoxSortOrderOf(p_.languageDriver)) {
            p_.sortOrder = *s;
        } else {
            fail("language driver \"" + p_.languageDriver + "\" has no known sort order");
        }
        if (p_.level == 3 && !SameText(ParadoxDriverForSortOrder(p_.sortOrder).name, p_.languageDriver))
            needLevel(4, "language driver \"" + p_.languageDriver + "\" cannot be named by a level 3 table");
    }

    void planLevel()
    {
        const std::uint8_t v = p_.carry.fileVersion;
        switch (p_.level) {
        case 3: p_.fileVersion = (v == ParadoxVersion::Level30 || v == ParadoxVersion::Level35) ? v : ParadoxVersion::Level30; break;
        case 4: p_.fileVersion = (v >= 5 && v <= 9) ? v : ParadoxVersion::Level4; break;
        case 5: p_.fileVersion = (v == 10 || v == 11) ? v : ParadoxVersion::Level5; break;
        default: p_.fileVersion = ParadoxVersion::Level7; break;
        }
    }

    bool allowed(std::uint8_t kb) const
    {
        if (kb >= 1 && kb <= 4)
            return true;
        return (kb == 16 && p_.level >= 5) || (kb == 32 && p_.level >= 7);
    }

    bool fits(std::uint8_t kb) const
    {
        const std::size_t bytes = std::size_t{kb} * 1024;
        if (p_.recordBytes + ParadoxBlock::HeaderBytes > bytes || p_.keyBytes * 3 > bytes)
            return false;
        for (const auto& ix : p_.indexes)
            if (ix.xRecordBytes + ParadoxBlock::HeaderBytes > bytes)
                return false;
        return true;
    }

    std::uint8_t treeBlock(std::size_t keyBytes) const
    {
        for (std::uint8_t kb : BlockSizes)
            if (allowed(kb) && ParadoxTreeFill(keyBytes, std::size_t{kb} * 1024) > 0)
                return kb;
        fail("index keys of " + std::to_string(keyBytes) + " bytes are too long for index blocks");
    }

    void planBlocks()
    {
        const int wanted = desc_.BlockSize() / 1024;
        if (wanted > 0 && wanted <= 32 && allowed(static_cast<std::uint8_t>(wanted)) &&
            fits(static_cast<std::uint8_t>(wanted)) && (wanted <= 4 || wanted == 16 || wanted == 32)) {
            p_.blockSizeKb = static_cast<std::uint8_t>(wanted);
        } else {
            p_.blockSizeKb = 0;
            for (std::uint8_t kb : BlockSizes)
                if (fits(kb)) {
                    p_.blockSizeKb = kb;
                    break;
                }
            if (p_.blockSizeKb == 0)
                fail("records of " + std::to_string(p_.recordBytes) + " bytes (key " + std::to_string(p_.keyBytes) +
                     ") do not fit any block size");
            if (!allowed(p_.blockSizeKb))
                needLevel(p_.blockSizeKb == 16 ? 5 : 7,
                          "records of " + std::to_string(p_.recordBytes) + " bytes need blocks of " +
                              std::to_string(p_.blockSizeKb) + " KiB");
            planLevel();
        }
        p_.perBlock = (p_.blockBytes() - ParadoxBlock::HeaderBytes) / p_.recordBytes;
        if (p_.keyFields > 0)
            p_.treeBlockSizeKb = treeBlock(p_.keyBytes);
        for (auto& ix : p_.indexes)
            ix.yBlockSizeKb = treeBlock(ix.xRecordBytes - 2);
    }

    void planIdentity()
    {
        const std::size_t n = p_.fields.size();
        std::vector<std::uint16_t> ids = p_.carry.fieldIds;
        std::set<std::uint16_t> distinct(ids.begin(), ids.end());
        if (ids.size() != n || distinct.size() != n || distinct.count(0) > 0) {
            ids.clear();
            for (std::size_t i = 0; i < n; ++i)
                ids.push_back(static_cast<std::uint16_t>(i + 1));
        }
        std::uint16_t highest = 0;
        for (std::size_t i = 0; i < n; ++i) {
            p_.fields[i].id = ids[i];
            highest = std::max(highest, ids[i]);
        }
        p_.hiFieldId = std::max<std::uint16_t>(p_.carry.hiFieldId, static_cast<std::uint16_t>(highest + 1));
        p_.autoInc = p_.carry.autoInc;
        p_.flags55 = desc_.StrictRefInt() ? ParadoxHeader::StrictRefIntFlag : 0;
        const int version = desc_.RestructureVersion();
        p_.changeCount1 = static_cast<std::uint8_t>(version >= 1 && version <= 255 ? version : 2);
        p_.updateTime = options_.updateTime != 0 ? options_.updateTime : static_cast<std::uint32_t>(std::time(nullptr));
        p_.passwordKey = options_.passwordKey != 0 ? options_.passwordKey : ParadoxPasswordChecksum(options_.password);
        if (desc_.Protected() && p_.passwordKey == 0)
            fail("the table is protected; its password is needed to write it");
    }

    const TvxTableDesc& desc_;
    const ParadoxWriteOptions& options_;
    ParadoxTablePlan p_;
};

} // namespace

std::uint8_t ParadoxDiskTypeOf(int engineType)
{
    switch (engineType) {
    case fldAlpha: return pxAlpha;
    case fldNumber: return pxNumber;
    case fldMoney: return pxMoney;
    case fldDate: return pxDate;
    case fldShort: return pxShort;
    case fldMemo: return pxMemo;
    case fldBinary: return pxBinary;
    case fldFmtMemo: return pxFmtMemo;
    case fldOle: return pxOle;
    case fldGraphic: return pxGraphic;
    case fldLong: return pxLong;
    case fldTime: return pxTime;
    case fldTimestamp: return pxTimestamp;
    case fldLogical: return pxLogical;
    case fldAutoInc: return pxAutoInc;
    case fldBytes: return pxBytes;
    case fldBcd: return pxBcd;
    default: return 0;
    }
}

std::optional<std::uint8_t> ParadoxSortOrderOf(const std::string& languageDriver)
{
    if (const auto d = ParadoxDriverNamed(languageDriver))
        return d->sortOrder;
    return std::nullopt;
}

ParadoxTablePlan ParadoxPlanTable(const TvxTableDesc& desc, const std::string& tableName,
                                  const ParadoxWriteOptions& options)
{
    return Planner(desc, tableName, options).run();
}

ParadoxTableImage ParadoxTablePlan::tableImage() const
{
    ParadoxTableImage t;
    t.fileType = static_cast<std::uint8_t>(keyFields > 0 ? ParadoxFileType::KeyedTable : ParadoxFileType::UnkeyedTable);
    t.fileVersion = fileVersion;
    t.blockSizeKb = blockSizeKb;
    t.unknown12 = 4;
    t.keyFields = static_cast<std::uint16_t>(keyFields);
    t.passwordKey = passwordKey;
    t.sortOrder = sortOrder;
    t.stamps = {0, changeCount1, ChangeCount2, 0};
    t.writeProtected = carry.writeProtected;
    t.autoInc = autoInc;
    t.flags55 = flags55;
    t.unknown3EZero = passwordKey != 0;
    t.updateTime = updateTime;
    t.hiFieldId = hiFieldId;
    t.codePage = codePage;
    t.unknown6C = carry.unknown6C;
    t.unknown6D = carry.unknown6D;
    t.changeCount4 = 1;
    t.unknown72 = carry.unknown72;
    t.fields = fields;
    t.nameArea = fileName("DB");
    t.languageDriver = languageDriver;
    return t;
}

ParadoxTableImage ParadoxTablePlan::xImage(const ParadoxIndexPlan& index) const
{
    ParadoxTableImage t;
    using F = ParadoxFileType;
    const F type = index.maintained ? (index.composite ? F::MaintainedCompositeX : F::MaintainedX)
                                    : (index.composite ? F::CompositeX : F::SecondaryX);
    t.fileType = static_cast<std::uint8_t>(type);
    t.fileVersion = fileVersion;
    t.blockSizeKb = blockSizeKb;
    t.unknown12 = static_cast<std::uint16_t>(2 + 2 * index.stamp);
    t.indexFieldNumber = static_cast<std::uint8_t>(index.fields.front());
    t.keyFields = static_cast<std::uint16_t>(index.xFields.size() - 1);
    t.sortOrder = sortOrder;
    namespace H = ParadoxHeader;
    t.stamps = {H::XIndexStampValue, index.stamp, ChangeCount2, changeCount1};
    t.flags55 = static_cast<std::uint8_t>(index.composite ? (index.caseInsensitive ? H::CaseInsensitiveFlag : 0) |
                                                                (index.descending ? H::DescendingFlag : 0) |
                                                                (index.unique ? H::UniqueFlag : 0)
                                                          : 0);
    t.updateTime = updateTime;
    t.hiFieldId = static_cast<std::uint16_t>(index.xFields.size() + 1);
    t.codePage = codePage;
    t.fields = index.xFields;
    t.nameArea = fileName(index.xExtension);
    t.languageDriver = languageDriver;
    t.indexName = index.composite ? index.name : std::string();
    t.hasIndexName = index.composite;
    return t;
}

ParadoxTreeImage ParadoxTablePlan::pxImage() const
{
    ParadoxTreeImage t;
    t.fileType = static_cast<std::uint8_t>(ParadoxFileType::PrimaryIndex);
    t.fileVersion = fileVersion;
    t.blockSizeKb = treeBlockSizeKb;
    t.unknown12 = 5;
    t.sortOrder = sortOrder;
    t.stamp = changeCount1;
    t.keyFields.assign(fields.begin(), fields.begin() + keyFields);
    t.nameArea = fileName("PX");
    return t;
}

ParadoxTreeImage ParadoxTablePlan::yImage(const ParadoxIndexPlan& index) const
{
    ParadoxTreeImage t;
    t.fileType = static_cast<std::uint8_t>(index.composite ? ParadoxFileType::CompositeY : ParadoxFileType::SecondaryY);
    t.fileVersion = fileVersion;
    t.blockSizeKb = index.yBlockSizeKb;
    t.unknown12 = static_cast<std::uint16_t>(3 + 2 * index.stamp);
    t.sortOrder = sortOrder;
    t.stamp = index.stamp;
    t.keyFields.assign(index.xFields.begin(), index.xFields.end() - 1);
    t.nameArea = fileName(index.yExtension);
    return t;
}

} // namespace morvane
