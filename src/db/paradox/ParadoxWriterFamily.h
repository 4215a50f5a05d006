#pragma once
// Writes the files of a planned table into a directory, in one pass over its records: the
// records are encoded (blobs into the .MB as they come), sorted by key when the table has one,
// packed into the .DB's blocks, and the index entries gathered on the way are sorted and
// written as X files; then .PX, the Y files and the .VAL. Throws EvxEngineError naming the
// file, record and field of a value that cannot be written, or the key two records share.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/IvxRecordSource.h"
#include "db/paradox/ParadoxWriterFiles.h"
#include "db/paradox/ParadoxWriterPlan.h"

namespace morvane {

struct ParadoxFamilyWritten
{
    std::vector<std::string> files; // file names, .DB first
    std::uint32_t records = 0;
    std::uint64_t sharedBlobs = 0; // blob slots pointing at a block written for an earlier one
};

// plan.autoInc is raised to the highest Autoincrement value written.
ParadoxFamilyWritten ParadoxWriteFamily(ParadoxTablePlan& plan, IvxRecordSource& records, ParadoxWriterFiles& files,
                                        const std::string& directory, std::size_t sortMemoryBytes);

} // namespace morvane
