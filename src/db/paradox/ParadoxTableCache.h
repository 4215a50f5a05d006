#pragma once
// Reads the files of one table (.DB, .PX, .Xnn/.XGn with their .Y partners, .VAL) from a
// directory and keeps the result until one of those files changes (name, modification time
// and size), so the several reads of one table parse each file once. Of the .DB, .PX and X
// files only the used start of the header is read (fields and names, in one read of as many
// bytes as the headers read so far used, the whole header when that is not enough), each
// file opened once. Throws EvxEngineError naming the damaged file.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/paradox/ParadoxDirectory.h"
#include "db/paradox/ParadoxTable.h"

namespace morvane {

class ParadoxTableCache
{
public:
    // Called with the table's .DB header before any other file of the table is read, and
    // again whenever the table is served from the cache; throws to refuse the table.
    using Admit = std::function<void(const ParadoxTableHeader&)>;

    // dbFileName: the .DB file's name as the directory's latest listing holds it. listedDb: the
    // .DB's stamp as a listing just took it, used instead of looking at the file again (when
    // the header does not agree with it, the file is looked at again).
    std::shared_ptr<const ParadoxTable> Load(ParadoxDirectory& dir, const std::string& dbFileName,
                                             const Admit& admit = {}, const ParadoxFileStamp* listedDb = nullptr);
    // Number of files parsed so far (each parse of a header or a .VAL counts one).
    std::size_t ParseCount() const { return parses_; }
    // Bytes read from files so far.
    std::uint64_t BytesRead() const { return bytesRead_; }

private:
    struct Entry
    {
        std::vector<ParadoxFileStamp> stamps;
        std::shared_ptr<const ParadoxTable> table;
    };
    // Opens a file of the family, reads its header (or the whole .VAL) and notes its stamp.
    // known: the file's stamp when the caller has it (else taken from the open file).
    ParadoxTableHeader readHeader(const ParadoxDirectory& dir, const std::string& name, ParadoxFileStamp& stamp,
                                  const ParadoxFileStamp* known = nullptr);
    // Reads the whole file into buffer_; its size.
    std::size_t readWhole(const ParadoxDirectory& dir, const std::string& name, ParadoxFileStamp& stamp);
    // buffer_ holding at least size bytes (its contents kept, never cleared).
    std::uint8_t* bufferOf(std::size_t size);
    // The path of a file of dir, for messages, in path_ (valid until the next call).
    const std::string& pathOf(const ParadoxDirectory& dir, std::string_view name);

    std::unordered_map<std::string, Entry> entries_;
    std::vector<std::uint8_t> buffer_; // the header or .VAL being parsed
    std::string path_;
    std::size_t firstRead_ = 0x200; // bytes first read of a header: the most headers used so far
    std::size_t parses_ = 0;
    std::uint64_t bytesRead_ = 0;
};

} // namespace morvane
