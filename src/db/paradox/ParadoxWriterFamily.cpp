#include "db/paradox/ParadoxWriterFamily.h"

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxBlobWriter.h"
#include "db/paradox/ParadoxBlockWriter.h"
#include "db/paradox/ParadoxIndexWriter.h"
#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxRecordSorter.h"
#include "db/paradox/ParadoxValWriter.h"
#include "db/paradox/ParadoxValue.h"
#include "db/paradox/ParadoxValueEncoding.h"
#include "model/vxCodePage.h"

#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <system_error>

namespace morvane {

namespace {

constexpr std::size_t TreeHeaderBytes = 0x800;
constexpr std::int64_t MaxAutoInc = 2147483647;

class FamilyWriter
{
public:
    FamilyWriter(ParadoxTablePlan& plan, IvxRecordSource& source, ParadoxWriterFiles& files, std::string directory,
                 std::size_t memory)
        : p_(plan), source_(source), files_(files), dir_(std::move(directory)), memory_(memory)
    {
        if (p_.passwordKey != 0)
            cipher_.emplace(p_.passwordKey);
    }

    ParadoxFamilyWritten run()
    {
        if (p_.hasBlobs)
            mb_.emplace(files_, path("MB"), cipher_);
        writeTable();
        if (keyed())
            writeTree(path("PX"), p_.pxImage(), pxLeaves_);
        for (std::size_t i = 0; i < p_.indexes.size(); ++i)
            writeIndex(i);
        if (p_.val)
            writeVal();
        if (mb_) {
            mb_->finish();
            out_.files.push_back(p_.fileName("MB"));
            out_.sharedBlobs = mb_->shared();
        }
        return std::move(out_);
    }

private:
    bool keyed() const { return p_.keyFields > 0; }
    std::string path(const std::string& extension) const { return dir_ + "/" + p_.fileName(extension); }

    [[noreturn]] void fail(int code, const std::string& why) const
    {
        throw EvxEngineError(code, p_.fileName("DB") + ": " + why);
    }

    void writeTable()
    {
        ParadoxOutputFile db(files_, path("DB"));
        ParadoxTableImage image = p_.tableImage();
        const std::uint16_t headerSize = image.headerSize();
        ParadoxBlockWriter blocks(db, headerSize, p_.blockBytes(), p_.recordBytes, p_.perBlock, cipher_,
                                  [this](std::uint16_t block, const std::uint8_t* first, std::uint16_t count) {
                                      if (keyed())
                                          pxLeaves_.add(first, block, count);
                                  });
        const std::size_t sorters = keyed() ? 1 + p_.indexes.size() : 0;
        const std::size_t budget = sorters > 0 ? memory_ / sorters : 0;
        std::optional<ParadoxRecordSorter> sorter;
        if (keyed()) {
            sorter.emplace(p_.recordBytes, p_.keyOrder, budget, files_, dir_, "records");
            // X entries come in the table's key order, which is the order of their key fields:
            // a stable sort by the index fields alone gives the order of the whole entry.
            for (std::size_t i = 0; i < p_.indexes.size(); ++i)
                xSorters_.push_back(std::make_unique<ParadoxRecordSorter>(p_.indexes[i].xRecordBytes,
                                                                          p_.indexes[i].valueOrder, budget, files_,
                                                                          dir_, "index" + std::to_string(i)));
        }

        TvxRecord record;
        std::vector<std::uint8_t> encoded(p_.recordBytes);
        std::uint64_t number = 0;
        // Under a driver whose order is not wholly known, records that come in an order it may
        // give (a copy of the engine's table) keep it.
        const bool guessed = keyed() && !p_.keyOrder.certain();
        bool mayKeepOrder = guessed;
        std::vector<std::uint8_t> last;
        while (source_.Next(record)) {
            if (++number > 0xFFFFFFFFull)
                fail(vxErrTableFull, "more than 4294967295 records");
            if (sorter) {
                std::uint8_t* r = sorter->room();
                encode(record, number, r);
                if (mayKeepOrder) {
                    if (!last.empty() && p_.keyOrder.compare(last.data(), r) > 0 &&
                        p_.keyOrder.established(last.data(), r))
                        mayKeepOrder = false;
                    last.assign(r, r + p_.keyBytes);
                }
                sorter->add();
            } else {
                encode(record, number, encoded.data());
                blocks.add(encoded.data());
            }
        }
        if (sorter) {
            std::vector<std::uint8_t> previous; // its key
            const std::vector<std::vector<Copy>> entries = entryCopies();
            const ParadoxCollation& collation = ParadoxCollation::ForDriver(p_.languageDriver);
            const bool kept = mayKeepOrder && sorter->keepInputOrder();
            bool warned = kept;
            sorter->drain([&](const std::uint8_t* r) {
                if (!previous.empty() && p_.keyOrder.compare(previous.data(), r) == 0)
                    fail(vxErrKeyViolation, "two records with the key " + keyText(r));
                if (guessed && !warned && !previous.empty() && !p_.keyOrder.established(previous.data(), r)) {
                    warnGuessed("the primary key", keyText(r));
                    warned = true;
                }
                previous.assign(r, r + p_.keyBytes);
                blocks.add(r);
                for (std::size_t i = 0; i < p_.indexes.size(); ++i) {
                    std::uint8_t* e = xSorters_[i]->room();
                    for (const Copy& c : entries[i]) {
                        std::memcpy(e + c.to, r + c.from, c.bytes);
                        if (c.fold) // the engine keeps such values in its capitals
                            collation.fold(e + c.to, c.bytes);
                    }
                    ParadoxPutShortUnsigned(e + p_.indexes[i].xRecordBytes - 2, blocks.currentBlock());
                    xSorters_[i]->add();
                }
            });
        }
        // The other indexes' entries are sorted on a second thread (in memory: no file is
        // touched) while this one finishes the table and writes the primary and first index.
        try {
            if (xSorters_.size() > 1)
                xSorts_ = std::async(std::launch::async, [this] {
                    for (std::size_t i = 1; i < xSorters_.size(); ++i)
                        if (xSorters_[i]->runs() == 0)
                            xSorters_[i]->sortInMemory();
                });
        } catch (const std::system_error&) { // no thread to be had: each is sorted as it is written
        }
        image.counts = blocks.finish();
        image.autoInc = p_.autoInc;
        out_.records = image.counts.records;
        const std::vector<std::uint8_t> header = image.build();
        db.writeAt(header.data(), header.size(), 0);
        db.finish(true);
        out_.files.push_back(p_.fileName("DB"));
    }

    void encode(const TvxRecord& record, std::uint64_t number, std::uint8_t* out)
    {
        if (record.size() != p_.fields.size())
            fail(vxErrCannotWrite, "record " + std::to_string(number) + " has " + std::to_string(record.size()) +
                                       " values for " + std::to_string(p_.fields.size()) + " fields");
        std::string why;
        for (std::size_t i = 0; i < p_.fields.size(); ++i) {
            const ParadoxField& f = p_.fields[i];
            std::uint8_t* slot = out + p_.offsets[i];
            bool ok = true;
            if (ParadoxIsBlobType(f.type)) {
                const TvxFieldValue& v = record[i];
                ok = v.isBlank() || v.kind() == TvxFieldValue::Kind::Bytes;
                if (!ok)
                    why = "value of the wrong kind for the field's type";
                else
                    ok = mb_->store(f, v.isBlank() ? std::string_view{} : std::string_view(v.text()), v.storageId(),
                                    slot, why);
            } else if (f.type == pxAutoInc && record[i].isBlank()) {
                if (p_.autoInc >= MaxAutoInc)
                    fail(vxErrCannotWrite, "no Autoincrement number left for record " + std::to_string(number));
                ok = ParadoxEncodeValue(f, TvxFieldValue::Integer(++p_.autoInc), slot, why);
            } else {
                ok = ParadoxEncodeValue(f, record[i], slot, why);
                if (ok && f.type == pxAutoInc && record[i].integer() > 0)
                    p_.autoInc = std::max<std::uint32_t>(p_.autoInc, static_cast<std::uint32_t>(record[i].integer()));
            }
            if (!ok)
                fail(vxErrCannotWrite,
                     "record " + std::to_string(number) + ", field " + std::to_string(i + 1) + " (" + f.name + "): " + why);
        }
    }

    // An X record is the index fields, the table's key and the number of the block holding the
    // record: by index, the copies from the record that make all but the block number.
    struct Copy
    {
        std::size_t from;
        std::size_t to;
        std::size_t bytes;
        bool fold = false;
    };
    std::vector<std::vector<Copy>> entryCopies() const
    {
        std::vector<std::vector<Copy>> copies;
        for (const auto& ix : p_.indexes) {
            std::vector<Copy>& c = copies.emplace_back();
            std::size_t at = 0;
            for (int f : ix.fields) {
                const ParadoxField& field = p_.fields[static_cast<std::size_t>(f - 1)];
                const auto len = static_cast<std::size_t>(field.length());
                c.push_back({p_.offsets[static_cast<std::size_t>(f - 1)], at, len,
                             ix.caseInsensitive && field.type == pxAlpha});
                at += len;
            }
            c.push_back({0, at, p_.keyBytes, false});
        }
        return copies;
    }

    // index and example: UTF-8 (the warning is, whole).
    void warnGuessed(const std::string& index, const std::string& example)
    {
        p_.warnings.push_back(index + ": the order of values such as " + example + " under language driver " +
                              p_.languageDriver + " is not established; written in byte order");
    }

    // The key fields of a record as text, for messages.
    std::string keyText(const std::uint8_t* r) const
    {
        std::string text;
        for (int i = 0; i < p_.keyFields; ++i) {
            if (i > 0)
                text += ", ";
            text += fieldText(p_.fields[static_cast<std::size_t>(i)], r + p_.offsets[static_cast<std::size_t>(i)]);
        }
        return text;
    }

    // A field's value as text, for messages.
    std::string fieldText(const ParadoxField& f, const std::uint8_t* v) const
    {
        std::string text;
        switch (f.type) {
        case pxAlpha: {
            const auto* chars = reinterpret_cast<const char*>(v);
            text.push_back('"');
            text += CodePageToUtf8(std::string_view(chars, strnlen(chars, static_cast<std::size_t>(f.length()))),
                                   p_.textCodePage);
            text.push_back('"');
            break;
        }
        case pxShort: case pxLong: case pxAutoInc: case pxDate: case pxTime:
            text += std::to_string(ParadoxDecodeInteger(v, static_cast<std::size_t>(f.length())));
            break;
        case pxNumber: case pxMoney: case pxTimestamp:
            text += std::to_string(ParadoxDecodeDouble(v));
            break;
        default: {
            static const char hex[] = "0123456789ABCDEF";
            for (int b = 0; b < f.length(); ++b)
                text += {hex[v[b] >> 4], hex[v[b] & 0x0F]};
        }
        }
        return text;
    }

    void writeTree(const std::string& file, ParadoxTreeImage image, const ParadoxTreeLeaves& leaves)
    {
        ParadoxOutputFile out(files_, file);
        const ParadoxTreeShape shape =
            ParadoxWriteTree(out, image.headerSize(), std::size_t{image.blockSizeKb} * 1024, leaves);
        image.counts = shape.counts;
        image.root = shape.root;
        image.levels = shape.levels;
        const std::vector<std::uint8_t> header = image.build();
        out.writeAt(header.data(), header.size(), 0);
        out.finish(true);
        out_.files.push_back(file.substr(dir_.size() + 1));
    }

    void writeIndex(std::size_t i)
    {
        const ParadoxIndexPlan& ix = p_.indexes[i];
        ParadoxOutputFile x(files_, path(ix.xExtension));
        ParadoxTableImage image = p_.xImage(ix);
        ParadoxTreeLeaves leaves(ix.xRecordBytes - 2);
        ParadoxBlockWriter blocks(x, image.headerSize(), p_.blockBytes(), ix.xRecordBytes,
                                  (p_.blockBytes() - ParadoxBlock::HeaderBytes) / ix.xRecordBytes, std::nullopt,
                                  [&](std::uint16_t block, const std::uint8_t* first, std::uint16_t count) {
                                      leaves.add(first, block, count);
                                  });
        if (i > 0 && xSorts_.valid())
            xSorts_.get();
        if (keyed()) {
            std::vector<std::uint8_t> previous;
            bool warned = ix.valueOrder.certain();
            xSorters_[i]->drain([&](const std::uint8_t* e) {
                const int d = previous.empty() ? -1 : ix.valueOrder.compare(previous.data(), e);
                if (ix.unique && d == 0)
                    fail(vxErrKeyViolation, "unique index \"" + ix.name + "\" has two records with one value");
                if (!warned && !previous.empty() && d != 0 && !ix.valueOrder.established(previous.data(), e)) {
                    warnGuessed("index \"" + CodePageToUtf8(ix.name, p_.textCodePage) + "\"",
                                fieldText(ix.xFields.front(), e));
                    warned = true;
                }
                previous.assign(e, e + ix.xRecordBytes);
                blocks.add(e);
            });
            xSorters_[i].reset();
        }
        image.counts = blocks.finish();
        image.autoInc = image.counts.records;
        const std::vector<std::uint8_t> header = image.build();
        x.writeAt(header.data(), header.size(), 0);
        x.finish(true);
        out_.files.push_back(p_.fileName(ix.xExtension));
        writeTree(path(ix.yExtension), p_.yImage(ix), leaves);
    }

    void writeVal()
    {
        ParadoxValIdentity id;
        id.changeCount = ParadoxTablePlan::ChangeCount2;
        id.version = p_.fileVersion;
        id.updateTime = p_.updateTime;
        id.hiFieldId = p_.hiFieldId;
        id.keyFields = static_cast<std::uint16_t>(p_.keyFields);
        id.fields = p_.fields;
        id.nameArea = p_.fileName("DB");
        const std::vector<std::uint8_t> bytes = ParadoxBuildValFile(id, *p_.val);
        ParadoxOutputFile val(files_, path("VAL"));
        val.writeAt(bytes.data(), bytes.size(), 0);
        val.finish(true);
        out_.files.push_back(p_.fileName("VAL"));
    }

    ParadoxTablePlan& p_;
    IvxRecordSource& source_;
    ParadoxWriterFiles& files_;
    std::string dir_;
    std::size_t memory_;
    std::optional<ParadoxCipher> cipher_;
    std::optional<ParadoxBlobWriter> mb_;
    ParadoxTreeLeaves pxLeaves_{p_.keyBytes};
    std::vector<std::unique_ptr<ParadoxRecordSorter>> xSorters_;
    std::future<void> xSorts_; // sorts xSorters_[1...]; waited for before they go
    ParadoxFamilyWritten out_;
};

} // namespace

ParadoxFamilyWritten ParadoxWriteFamily(ParadoxTablePlan& plan, IvxRecordSource& records, ParadoxWriterFiles& files,
                                        const std::string& directory, std::size_t sortMemoryBytes)
{
    return FamilyWriter(plan, records, files, directory, sortMemoryBytes).run();
}

} // namespace morvane
