// Descriptor record and structure record of TvxTableDesc.
#include "model/clvxTableDesc.h"
#include "model/clvxTableDescStream.h"

#include <vector>

#include "stream/EvxStreamError.h"
#include "stream/TReader.h"
#include "stream/TWriter.h"

namespace morvane {

namespace {

constexpr const char* SCountOutOfRange = "Record count out of range";

// The first count records (the descriptor's count, never more than the array holds).
template <typename Rec>
void WriteRecords(TWriter& writer, const std::vector<Rec>& records, int count)
{
    writer.PutInteger(count);
    for (int i = 0; i < count; ++i)
        writer.PutBlock(records[static_cast<std::size_t>(i)].data(), Rec::Size);
}

// Reads a count and its block into a new array; nothing is allocated before the count is known
// to be in range and the stream to hold the whole block.
template <typename Rec>
std::vector<Rec> ReadRecords(TReader& reader)
{
    const std::int64_t at = reader.Position();
    const std::int32_t n = reader.GetInteger();
    if (n < 0 || n > TvxTableDesc::MaxStreamedRecords)
        reader.FailAt(SCountOutOfRange, at);
    reader.RequireAvailable(static_cast<std::uint64_t>(n) * Rec::Size);
    std::vector<Rec> records(static_cast<std::size_t>(n));
    for (auto& r : records)
        reader.GetBlock(r.data(), Rec::Size);
    return records;
}

struct DescriptorRecords
{
    std::vector<TvxValCheckDesc> checks;
    std::vector<TvxRefIntDesc> refInts;
    std::vector<TvxIndexDesc> indexes;
};

DescriptorRecords ReadDescriptorRecords(TReader& reader)
{
    DescriptorRecords d;
    d.checks = ReadRecords<TvxValCheckDesc>(reader);
    d.refInts = ReadRecords<TvxRefIntDesc>(reader);
    d.indexes = ReadRecords<TvxIndexDesc>(reader);
    return d;
}

void Commit(TvxTableDesc& desc, DescriptorRecords&& d)
{
    desc.SetValChecks(std::move(d.checks));
    desc.SetRefInts(std::move(d.refInts));
    desc.SetIndexes(std::move(d.indexes));
}

} // namespace

void TvxTableDesc::WriteDescriptors(TWriter& writer) const
{
    WriteRecords(writer, valChecks_, ValCheckCount());
    WriteRecords(writer, refInts_, RefIntCount());
    WriteRecords(writer, indexes_, IndexCount());
}

void TvxTableDesc::ReadDescriptors(TReader& reader)
{
    Commit(*this, ReadDescriptorRecords(reader));
}

void TvxTableDesc::WriteStructure(TWriter& writer) const
{
    writer.PutBlock(tableList_.data(), TvxTableListRec::Size);
    WriteRecords(writer, fields_, FieldCount());
    WriteDescriptors(writer);
}

void ReadStructureRecord(TReader& reader, TvxTableDesc& desc)
{
    TvxTableListRec tableList;
    reader.GetBlock(tableList.data(), TvxTableListRec::Size);
    std::vector<TvxFieldDesc> fields = ReadRecords<TvxFieldDesc>(reader);
    DescriptorRecords d = ReadDescriptorRecords(reader);
    desc.TableList() = tableList;
    desc.SetFields(std::move(fields));
    Commit(desc, std::move(d));
}

} // namespace morvane
