#include "server/TvxParadoxTableWriter.h"

#include <algorithm>
#include <filesystem>

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxWriter.h"
#include "db/paradox/ParadoxWriterFiles.h"

namespace morvane {

namespace {

constexpr std::size_t MaxHeaderBytes = 0x10000;

// The parts of the origin's header a rewrite keeps: its autoincrement counter (numbers once
// given are never given again), its sort order and its code-page word.
ParadoxHeaderCarry CarryOf(const std::string& path)
{
    const std::unique_ptr<ParadoxFileSource> source = ParadoxFileSource::Open(path);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(source->Size(), MaxHeaderBytes)));
    bytes.resize(source->ReadAt(0, bytes.data(), bytes.size()));
    const ParadoxHeaderCarry full = ParadoxHeaderCarryOf(bytes.data(), bytes.size(), source->Size(), path);
    ParadoxHeaderCarry carry;
    carry.autoInc = full.autoInc;
    carry.sortOrder = full.sortOrder;
    carry.codePageWord = full.codePageWord;
    return carry;
}

} // namespace

TvxParadoxTableWriter::TvxParadoxTableWriter(ParadoxWriterFiles& files, std::string sourceDirectory)
    : files_(files), sourceDirectory_(std::move(sourceDirectory))
{
}

std::vector<std::string> TvxParadoxTableWriter::WriteTable(const TvxWriteRequest& request)
{
    ParadoxWriteOptions options;
    options.level = request.desc->TableLevel();
    options.password = request.password;
    if (!request.originPath.empty()) {
        options.carry = CarryOf(request.originPath);
        const std::filesystem::path origin(request.originPath);
        options.extensions = ParadoxFamilyExtensions(files_, origin.parent_path().string(), origin.stem().string());
    }
    options.otherTable = request.otherTable;
    options.sourceDirectory = sourceDirectory_;
    options.files = &files_;
    return ParadoxWriteTable(*request.desc, *request.records, request.directory, request.baseName, options).warnings;
}

} // namespace morvane
