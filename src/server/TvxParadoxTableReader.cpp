#include "server/TvxParadoxTableReader.h"

#include <algorithm>

#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxPassword.h"
#include "db/paradox/ParadoxTableHeader.h"

namespace morvane {

namespace {

// A header is at most this long (its size is a 16-bit count).
constexpr std::size_t MaxHeaderBytes = 0x10000;

} // namespace

TvxParadoxTableReader::TvxParadoxTableReader(const std::string& directory, std::vector<std::string> passwords)
    : passwords_(std::make_shared<std::vector<std::string>>(std::move(passwords))),
      directory_(directory),
      database_(directory, passwords_)
{
    directory_.files();
}

std::string TvxParadoxTableReader::Directory() const
{
    return directory_.path();
}

std::optional<std::string> TvxParadoxTableReader::FindTable(std::string_view name)
{
    directory_.files();
    std::string withExt(name);
    if (withExt.size() < 3 || !ParadoxDirectory::equalNoCase(withExt.substr(withExt.size() - 3), ".DB"))
        withExt += ".DB";
    return directory_.find(withExt);
}

TvxTableDesc TvxParadoxTableReader::ReadStructure(const std::string& file)
{
    TvxTableListRec rec;
    rec.setTableName(file);
    const std::size_t dot = file.rfind('.');
    rec.setFileName(file.substr(0, dot));
    rec.setExtension(dot == std::string::npos ? "" : file.substr(dot + 1));
    rec.setTableType("PARADOX");
    const TvxCursorProps props = database_.ReadTableProperties(file);
    TvxTableDesc desc = TvxTableDesc::CreateFromEngine(&rec, props);
    std::vector<TvxFieldDesc> fields = database_.ReadFieldDescriptors(file);
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i].setFieldNumber(static_cast<int>(i + 1));
    desc.SetFields(std::move(fields));
    desc.SetIndexes(database_.ReadIndexDescriptors(file));
    desc.SetRefInts(database_.ReadRefIntDescriptors(file));
    desc.SetValChecks(database_.ReadValChecks(file));
    return desc;
}

TvxParadoxTableReader::HeaderFacts TvxParadoxTableReader::ReadHeader(const std::string& file)
{
    const std::unique_ptr<ParadoxFileSource> source = ParadoxFileSource::Open(directory_.pathOf(file));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(source->Size(), MaxHeaderBytes)));
    bytes.resize(source->ReadAt(0, bytes.data(), bytes.size()));
    const ParadoxTableHeader header = ParseParadoxHeader(bytes.data(), bytes.size(), source->Size(), file);
    return {header.passwordKey(), header.numRecords};
}

std::string TvxParadoxTableReader::OpeningPassword(const std::string& file)
{
    const std::uint32_t key = ReadHeader(file).key;
    if (key == 0)
        return {};
    for (const std::string& p : *passwords_)
        if (ParadoxPasswordMatches(p, key))
            return p;
    throw EvxEngineError(vxErrPasswordRequired, directory_.pathOf(file) + ": the table is protected");
}

std::int64_t TvxParadoxTableReader::RecordCount(const std::string& file)
{
    return ReadHeader(file).records;
}

std::unique_ptr<IvxRecordSource> TvxParadoxTableReader::OpenRecords(const std::string& file)
{
    return database_.OpenRecords(file);
}

} // namespace morvane
