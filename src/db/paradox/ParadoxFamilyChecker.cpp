#include "db/paradox/ParadoxFamilyChecker.h"

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxCrypt.h"
#include "db/paradox/ParadoxDirectory.h"
#include "db/paradox/ParadoxFamilyCheckerParts.h"
#include "db/paradox/ParadoxKeyOrder.h"
#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxTable.h"
#include "db/paradox/ParadoxValFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <future>
#include <map>
#include <system_error>

namespace morvane {

namespace {

using namespace checker;
namespace H = ParadoxHeader;
namespace Mb = ParadoxMbLayout;
namespace V = ParadoxValLayout;

constexpr std::uint64_t MaxValBytes = 16u << 20;

std::string num(std::uint64_t v)
{
    return std::to_string(v);
}

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Xnn/XGn (Ynn/YGn), the digits decimal or hexadecimal, in capitals.
bool indexExtension(const std::string& ext, char letter)
{
    if (ext.size() != 3 || ext[0] != letter)
        return false;
    const auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    return (ext[1] == 'G' || hex(ext[1])) && hex(ext[2]);
}

// The blocks of a .MB file: where each starts, its type and its first bytes (decrypted).
class BlobFile
{
public:
    bool open(const ParadoxFamilyFiles& files, const std::string& name, std::uint32_t key, Findings& findings)
    {
        name_ = name;
        std::unique_ptr<ParadoxByteSource> source;
        try {
            source = files.open(name);
        } catch (const EvxEngineError&) {
        }
        if (!source) {
            findings.violation(name, "blob", "the file cannot be read");
            return false;
        }
        if (key != 0)
            cipher_.emplace(key);
        const std::uint64_t size = source->Size();
        if (size % Mb::ChunkBytes != 0)
            findings.violation(name, "blob", "its size " + num(size) + " is not a multiple of 4096");
        std::vector<std::uint8_t> head(2 * ParadoxChunk().size());
        for (std::uint64_t at = 0; at + head.size() <= size;) {
            if (source->ReadAt(at, head.data(), head.size()) != head.size())
                break;
            if (cipher_)
                cipher_->DecryptMb(head.data(), head.size());
            const std::uint8_t type = head[Mb::BlockType];
            const std::uint16_t chunks = ParadoxLe16(&head[Mb::BlockChunks]);
            if ((at == 0) != (type == Mb::TypeHeader) || type == 1 || type > Mb::TypeFree || chunks == 0) {
                findings.violation(name, "blob", "block at " + num(at) + " has type " + num(type) + " and " +
                                                     num(chunks) + " chunks");
                break;
            }
            blocks_[at] = head;
            at += std::uint64_t{chunks} * Mb::ChunkBytes;
            if (at > size)
                findings.violation(name, "blob", "the last block runs past the end of the file");
        }
        return true;
    }

    // Checks a record's blob slot (leader and tail) of field f.
    void check(const ParadoxField& f, const std::uint8_t* slot, const std::string& where, Findings& findings) const
    {
        const std::size_t leader = static_cast<std::size_t>(f.length()) - ParadoxBlobTail::Bytes;
        const std::uint8_t* tail = slot + leader;
        const std::uint32_t pointer = ParadoxLe32(tail + ParadoxBlobTail::Offset);
        const std::uint32_t length = ParadoxLe32(tail + ParadoxBlobTail::Length);
        const bool framed = f.type == pxGraphic || f.type == pxOle;
        if (length == 0)
            return;
        if (pointer == 0) {
            if (length > leader + (framed ? Mb::GraphicPrefixBytes : 0))
                findings.violation(name_, "blob", where + ": a blob of " + num(length) + " bytes has no place in the file");
            return;
        }
        const auto it = blocks_.find(pointer & ~ParadoxBlobTail::SlotMask);
        const std::uint32_t slotNo = pointer & ParadoxBlobTail::SlotMask;
        if (it == blocks_.end()) {
            findings.violation(name_, "blob", where + " points at offset " + num(pointer & ~ParadoxBlobTail::SlotMask) +
                                                  ", where no block starts");
            return;
        }
        const std::vector<std::uint8_t>& b = it->second;
        if (b[Mb::BlockType] == Mb::TypeSingle) {
            if (slotNo != ParadoxBlobTail::SingleBlobSlot || ParadoxLe32(&b[Mb::SingleLength]) != length)
                findings.violation(name_, "blob", where + " does not match the single-blob block it points at");
        } else if (b[Mb::BlockType] == Mb::TypeSuballocated) {
            if (slotNo >= Mb::SlotCount) {
                findings.violation(name_, "blob", where + " names slot " + num(slotNo) + " of a sub-allocated block");
                return;
            }
            const std::uint8_t* e = &b[Mb::SlotTableAt + slotNo * Mb::SlotBytes];
            const std::uint32_t units = e[Mb::SlotLengthDiv16];
            const std::uint32_t stored = units == 0 ? 0 : (units - 1) * Mb::SlotDataUnit + e[Mb::SlotLengthMod16];
            if (stored != length || std::uint32_t{e[Mb::SlotDataOffset]} * Mb::SlotDataUnit + length > Mb::ChunkBytes)
                findings.violation(name_, "blob", where + " does not match slot " + num(slotNo) + " of its block");
        } else {
            findings.violation(name_, "blob", where + " points at a free or header block");
        }
    }

private:
    std::string name_;
    std::optional<ParadoxCipher> cipher_;
    std::map<std::uint64_t, std::vector<std::uint8_t>> blocks_;
};

class FamilyCheck
{
public:
    FamilyCheck(const ParadoxFamilyFiles& files, std::string dbName, ParadoxCheckReport& report)
        : files_(files), dbName_(std::move(dbName)), report_(report), findings_(report)
    {
    }

    void run()
    {
        if (!db_.open(files_, dbName_, findings_))
            return;
        const ParadoxTableHeader& h = db_.header();
        if (!h.isTable()) {
            findings_.violation(dbName_, "header", "file type " + num(db_.raw8(H::FileType)) + " is not a table");
            return;
        }
        db_.setKey(h.passwordKey());
        listFamily();
        checkHeader();
        if (!mbName_.empty())
            haveMb_ = mb_.open(files_, mbName_, h.passwordKey(), findings_);
        chain_ = WalkChain(db_, h.recordSize, findings_);
        if (chain_.records != h.numRecords)
            findings_.violation(dbName_, "counts", "its blocks hold " + num(chain_.records) +
                                                       " records, the header counts " + num(h.numRecords));
        // The primary index's header first: X files are checked against its stamp. Its findings
        // are reported after the records', as the tree's.
        ParadoxCheckReport pxOpened;
        FamilyFile px;
        const bool havePx = openPrimaryIndex(px, pxOpened);
        // The first half of the secondary indexes are checked on a second thread (against a
        // .DB opened there) while this one checks the records, the primary index and the rest.
        std::vector<ParadoxCheckReport> indexes(secondary_.size());
        const std::size_t split = (secondary_.size() + 1) / 2;
        std::future<void> other;
        try {
            if (split > 0 && chain_.records > 0)
                other = std::async(std::launch::async, [&] {
                    FamilyFile db;
                    Findings findings(indexes[0]);
                    if (!db.open(files_, dbName_, findings))
                        return;
                    db.setKey(h.passwordKey());
                    for (std::size_t i = 0; i < split; ++i)
                        checkSecondary(i, db, indexes[i]);
                });
        } catch (const std::system_error&) { // no thread to be had: all of them here
        }
        checkRecords();
        report_.findings.insert(report_.findings.end(), pxOpened.findings.begin(), pxOpened.findings.end());
        if (havePx)
            checkPrimaryTree(px);
        for (std::size_t i = other.valid() ? split : 0; i < secondary_.size(); ++i)
            checkSecondary(i, db_, indexes[i]);
        if (other.valid())
            other.get();
        for (const auto& part : indexes)
            report_.findings.insert(report_.findings.end(), part.findings.begin(), part.findings.end());
        if (!valName_.empty())
            checkVal();
    }

private:
    void listFamily()
    {
        const std::string base = upper(dbName_.substr(0, dbName_.rfind('.')));
        std::map<std::string, std::string> ys;
        for (const auto& name : files_.names) {
            const auto dot = name.rfind('.');
            if (dot == std::string::npos || upper(name.substr(0, dot)) != base)
                continue;
            const std::string ext = upper(name.substr(dot + 1));
            if (ext == "PX")
                pxName_ = name;
            else if (ext == "VAL")
                valName_ = name;
            else if (ext == "MB")
                mbName_ = name;
            else if (indexExtension(ext, 'X'))
                secondary_.emplace_back(name, ext.substr(1));
            else if (indexExtension(ext, 'Y'))
                ys[ext.substr(1)] = name;
        }
        for (auto& [x, y] : secondary_) {
            const auto it = ys.find(y);
            y = it == ys.end() ? std::string() : it->second;
        }
    }

    void checkHeader()
    {
        const ParadoxTableHeader& h = db_.header();
        if ((db_.raw8(H::FileType) == 0) != (h.primaryKeyFields > 0))
            findings_.violation(dbName_, "header", "file type " + num(db_.raw8(H::FileType)) + " with " +
                                                       num(h.primaryKeyFields) + " key fields");
        if (!h.pointersAgree)
            findings_.violation(dbName_, "header", "0x51, 0x66 or 0x6E do not point where the field ids, the "
                                                   "language driver and the end of the header are");
        if (h.hasDataHeader && db_.raw16(H::IndexNamePtr) != 0)
            findings_.violation(dbName_, "header", "0x68 is not 0 in a table");
        if (h.primaryKeyFields > 0 && pxName_.empty())
            findings_.violation(dbName_, "primary-index", "a keyed table without its .PX");
        bool blobs = false;
        for (const auto& f : h.fields)
            blobs = blobs || ParadoxIsBlobType(f.type);
        if (blobs && mbName_.empty())
            findings_.violation(dbName_, "blob", "a table with blob fields without its .MB");
    }

    void checkRecords()
    {
        const ParadoxTableHeader& h = db_.header();
        const std::size_t rs = h.recordSize;
        const std::size_t keyBytes = FieldBytes(h.fields, h.primaryKeyFields);
        keys_.keyBytes = keyBytes;
        std::vector<std::size_t> offsets;
        for (std::size_t i = 0; i < h.fields.size(); ++i)
            offsets.push_back(FieldBytes(h.fields, i));
        std::vector<ParadoxKeySegment> segments;
        for (std::size_t i = 0; i < h.primaryKeyFields && i < h.fields.size(); ++i)
            segments.push_back({offsets[i], static_cast<std::size_t>(h.fields[i].length()), false, false,
                                h.fields[i].type == pxAlpha});
        const ParadoxKeyOrder order(std::move(segments), ParadoxCollation::ForDriver(ParadoxDriverName(h)));
        std::vector<std::uint8_t> previous; // the last key of the block before
        std::uint64_t record = 0;
        for (std::size_t k = 0; k < chain_.blocks.size(); ++k) {
            const std::uint8_t* b = db_.view(chain_.blocks[k]);
            for (std::size_t i = 0; i < chain_.counts[k]; ++i) {
                const std::uint8_t* r = &b[ParadoxBlock::HeaderBytes + i * rs];
                ++record;
                if (i == 0 && keyBytes > 0)
                    keys_.add(chain_.blocks[k], r, chain_.counts[k]);
                if (keyBytes > 0) {
                    const std::uint8_t* before = i > 0 ? r - rs : previous.empty() ? nullptr : previous.data();
                    const int d = before ? order.compare(before, r) : -1;
                    if (d == 0)
                        findings_.violation(dbName_, "key-unique", "record " + num(record) + " repeats a key");
                    else if (d > 0 && order.established(before, r))
                        findings_.violation(dbName_, "key-order", "record " + num(record) + " is out of key order");
                }
                if (!haveMb_)
                    continue;
                for (std::size_t f = 0; f < h.fields.size(); ++f)
                    if (ParadoxIsBlobType(h.fields[f].type))
                        mb_.check(h.fields[f], r + offsets[f], "record " + num(record) + ", field " + num(f + 1),
                                  findings_);
            }
            if (chain_.counts[k] > 0 && keyBytes > 0) {
                const std::uint8_t* last = &b[ParadoxBlock::HeaderBytes + (chain_.counts[k] - 1u) * rs];
                previous.assign(last, last + keyBytes);
            }
        }
    }

    // Opens the .PX and takes its stamp; false when there is none or it is not a primary index.
    bool openPrimaryIndex(FamilyFile& px, ParadoxCheckReport& report)
    {
        if (pxName_.empty())
            return false;
        Findings findings(report);
        if (!px.open(files_, pxName_, findings))
            return false;
        if (px.raw8(H::FileType) != static_cast<std::uint8_t>(ParadoxFileType::PrimaryIndex)) {
            findings.violation(pxName_, "index-file", "file type " + num(px.raw8(H::FileType)) + " is not 1");
            return false;
        }
        pxStamp_ = px.raw8(H::IndexStamp);
        if (*pxStamp_ == 0)
            findings.violation(pxName_, "index-file", "0x2C is 0");
        return true;
    }

    void checkPrimaryTree(const FamilyFile& px)
    {
        const ParadoxTableHeader& t = db_.header();
        const std::vector<ParadoxField> key(t.fields.begin(), t.fields.begin() + t.primaryKeyFields);
        CheckTree(px, keys_, key, findings_);
    }

    // Secondary index i against the table read through db, its findings into report.
    void checkSecondary(std::size_t i, const FamilyFile& db, ParadoxCheckReport& report) const
    {
        Findings findings(report);
        const auto& [x, y] = secondary_[i];
        if (y.empty()) {
            findings.violation(x, "index-file", "its Y file is missing");
            return;
        }
        const TableFacts facts{&db, &chain_, pxStamp_, &ParadoxCollation::ForDriver(ParadoxDriverName(db_.header()))};
        CheckSecondaryIndex(files_, x, y, facts, findings);
    }

    void checkVal()
    {
        const ParadoxTableHeader& t = db_.header();
        std::vector<std::uint8_t> bytes;
        {
            std::unique_ptr<ParadoxByteSource> source;
            try {
                source = files_.open(valName_);
            } catch (const EvxEngineError&) {
            }
            if (!source || source->Size() > MaxValBytes) {
                findings_.violation(valName_, "val", source ? "the file is too large" : "the file cannot be read");
                return;
            }
            bytes.resize(static_cast<std::size_t>(source->Size()));
            bytes.resize(source->ReadAt(0, bytes.data(), bytes.size()));
        }
        ParadoxValFile v;
        try {
            v = ParseParadoxValFile(bytes.data(), bytes.size(), t, valName_);
        } catch (const EvxEngineError& e) {
            findings_.violation(valName_, "val", e.what());
            return;
        }
        if (v.oldFormat)
            return; // the layout of level 3 tables is not known well enough to check
        const auto u32 = [&](std::size_t at) { return ParadoxLe32(&bytes[at]); };
        const std::size_t footer = u32(V::FooterOffset);
        const std::size_t refInt = u32(V::RefIntOffset);
        std::size_t end = V::FirstCheck;
        for (const auto& c : v.checks) {
            const auto len = static_cast<std::size_t>(t.fields[static_cast<std::size_t>(c.fieldPosition)].length());
            end += V::CheckFixedPart + (c.hasLookup ? V::LookupBlock : 0) + (c.hasMinimum ? len : 0) +
                   (c.hasMaximum ? len : 0) + (c.hasDefault ? len : 0) + (c.picture.empty() ? 0 : c.picture.size() + 1);
        }
        if (end != (refInt != 0 ? refInt : footer))
            findings_.violation(valName_, "val", "the checks end at " + num(end) + ", the next part starts at " +
                                                     num(refInt != 0 ? refInt : footer));
        if (refInt != 0) {
            const std::size_t riEnd = refInt + 2 + v.dependentRules.size() * V::DependentRecord +
                                      (v.masterRules.empty() ? 2 : V::MasterRules + v.masterRules.size() * V::MasterRecord);
            if (riEnd != footer)
                findings_.violation(valName_, "val", "the rules end at " + num(riEnd) + ", the footer starts at " +
                                                         num(footer));
        }
        // Footer: the fields' ids and types, a name area and the names, then the end of the file.
        const std::size_t n = t.fields.size();
        std::size_t pos = footer + V::FooterIds + 4 * n + H::NameAreaBytes;
        std::vector<std::string> names;
        while (names.size() < n && pos < bytes.size()) {
            const auto* start = reinterpret_cast<const char*>(&bytes[pos]);
            const std::size_t len = strnlen(start, bytes.size() - pos);
            names.emplace_back(start, len);
            pos += len + 1;
        }
        std::size_t tail = H::NameAreaBytes;
        for (const auto& name : names)
            tail += name.size() + 1;
        if (names.size() != n || pos != bytes.size())
            findings_.violation(valName_, "val", "the footer's names do not end where the file ends");
        else if (ParadoxLe16(&bytes[footer + 4]) != tail)
            findings_.violation(valName_, "val", "the footer's tail size is not that of its names");
        else if (!std::equal(names.begin(), names.end(), t.fields.begin(),
                             [](const std::string& a, const ParadoxField& f) { return a == f.name; }))
            findings_.deviation(valName_, "stale-stamp", "the footer names the fields otherwise than the table");
        if (u32(V::UpdateTime) != t.fileUpdateTime || bytes[V::HiFieldId] != (t.hiFieldId & 0xFF))
            findings_.deviation(valName_, "stale-stamp", "update time or highest field id differ from the table's");
    }

    const ParadoxFamilyFiles& files_;
    std::string dbName_;
    ParadoxCheckReport& report_;
    Findings findings_;
    FamilyFile db_;
    Chain chain_;
    BlockKeys keys_;
    std::string pxName_;
    std::string valName_;
    std::string mbName_;
    std::vector<std::pair<std::string, std::string>> secondary_; // X file, Y file
    BlobFile mb_;
    bool haveMb_ = false;
    std::optional<std::uint8_t> pxStamp_;
};

} // namespace

bool ParadoxCheckReport::ok() const
{
    return std::none_of(findings.begin(), findings.end(),
                        [](const ParadoxFinding& f) { return f.kind == ParadoxFinding::Kind::Violation; });
}

bool ParadoxCheckReport::clean() const
{
    return findings.empty();
}

std::string ParadoxCheckReport::text() const
{
    std::string out;
    for (const auto& f : findings) {
        out += f.file + ": " + f.rule + (f.kind == ParadoxFinding::Kind::Deviation ? " (deviation)" : "") + ": " +
               f.message + "\n";
    }
    return out;
}

ParadoxCheckReport ParadoxCheckFamily(const ParadoxFamilyFiles& files, const std::string& dbFileName)
{
    ParadoxCheckReport report;
    FamilyCheck(files, dbFileName, report).run();
    return report;
}

ParadoxCheckReport ParadoxCheckFamily(const std::string& directory, const std::string& dbFileName,
                                      ParadoxCheckAccess access)
{
    ParadoxFamilyFiles files;
    files.open = [&](const std::string& name) -> std::unique_ptr<ParadoxByteSource> {
        if (access == ParadoxCheckAccess::Map)
            return MappedFile::Open(directory + "/" + name);
        return ParadoxFileSource::Open(directory + "/" + name);
    };
    try {
        ParadoxDirectory dir(directory);
        files.names = dir.files();
    } catch (const EvxEngineError& e) {
        ParadoxCheckReport report;
        report.findings.push_back({ParadoxFinding::Kind::Violation, dbFileName, "header", e.what()});
        return report;
    }
    return ParadoxCheckFamily(files, dbFileName);
}

} // namespace morvane
