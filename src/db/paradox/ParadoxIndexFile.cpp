#include "db/paradox/ParadoxIndexFile.h"

#include <cctype>

#include "db/EvxEngineError.h"

namespace morvane {

namespace {

[[noreturn]] void fail(const std::string& fileName, const std::string& what)
{
    throw EvxEngineError(vxErrInvalidFile, fileName + ": " + what);
}

int numberFromExtension(const std::string& ext, bool composite)
{
    const std::size_t start = composite ? 2 : 1;
    if (ext.size() <= start || ext.size() > start + 3)
        return -1;
    int n = 0;
    for (std::size_t i = start; i < ext.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(ext[i])))
            return -1;
        n = n * 10 + (ext[i] - '0');
    }
    return n;
}

} // namespace

ParadoxSecondaryIndex ReadParadoxSecondaryIndex(const ParadoxTableHeader& x, const ParadoxTableHeader& table,
                                                const std::string& extension, const std::string& fileName)
{
    if (!x.isSecondaryX())
        fail(fileName, "not a secondary index file (file type " + std::to_string(static_cast<int>(x.fileType)) + ")");

    ParadoxSecondaryIndex idx;
    idx.composite = x.isCompositeX();
    idx.maintained = x.isMaintainedX();
    idx.number = numberFromExtension(extension, idx.composite);
    if (idx.composite) {
        idx.unique = (x.flags55 & 0x20) != 0;
        idx.descending = (x.flags55 & 0x10) != 0;
        idx.caseInsensitive = (x.flags55 & 0x01) != 0;
    }
    idx.blockSizeKb = x.blockSizeKb;

    // Index fields, then the table's key fields (keyed) or three bookkeeping fields.
    const int trailing = table.primaryKeyFields > 0 ? table.primaryKeyFields + 1 : 3;
    const int m = static_cast<int>(x.numFields) - trailing;
    if (m < 1)
        fail(fileName, "holds " + std::to_string(x.numFields) + " fields, too few for an index of a table with " +
                           std::to_string(table.primaryKeyFields) + " key fields");
    if (m > 16)
        fail(fileName, "index of " + std::to_string(m) + " fields (at most 16)");

    for (int i = 0; i < m; ++i) {
        const ParadoxField& xf = x.fields[static_cast<std::size_t>(i)];
        int pos = xf.id & 0x7FFF;
        if (!x.hasDataHeader) {
            // Level 3 index files carry no field positions: the first index field is named
            // by the header, the others by their names.
            pos = 0;
            if (i == 0)
                pos = x.indexFieldNumber;
            for (std::size_t k = 0; pos == 0 && k < table.fields.size(); ++k)
                if (table.fields[k].name == xf.name)
                    pos = static_cast<int>(k) + 1;
        }
        if (pos < 1 || pos > table.numFields)
            fail(fileName, "key field " + std::to_string(i + 1) + " refers to field " + std::to_string(pos) +
                               " of a table with " + std::to_string(table.numFields) + " fields");
        const ParadoxField& tf = table.fields[static_cast<std::size_t>(pos - 1)];
        if (tf.type != xf.type || tf.size != xf.size || tf.name != xf.name)
            fail(fileName, "key field " + std::to_string(i + 1) + " (" + xf.name + ") does not match field " +
                               std::to_string(pos) + " (" + tf.name + ") of the table");
        idx.keyFields.push_back(pos);
        idx.descendingFields.push_back((xf.id & 0x8000) != 0);
        idx.keyLength += tf.length();
    }
    if (!idx.composite && m != 1)
        fail(fileName, "a single-field index file holds " + std::to_string(m) + " index fields");
    idx.name = x.indexName.empty() ? table.fields[static_cast<std::size_t>(idx.keyFields.front() - 1)].name
                                   : x.indexName;
    return idx;
}

ParadoxSecondaryIndex ParseParadoxSecondaryIndex(const std::uint8_t* data, std::size_t size, std::uint64_t fileSize,
                                                 const ParadoxTableHeader& table, const std::string& extension,
                                                 const std::string& fileName)
{
    return ReadParadoxSecondaryIndex(ParseParadoxHeader(data, size, fileSize, fileName), table, extension, fileName);
}

} // namespace morvane
