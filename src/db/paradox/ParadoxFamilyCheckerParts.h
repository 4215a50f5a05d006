#pragma once
// Parts of the family checker shared by its files: findings, a family file opened for
// checking, the walk of a block chain and the first keys of a file's blocks (what the index
// trees point at). Internal to ParadoxFamilyChecker*.cpp.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxCollation.h"
#include "db/paradox/ParadoxCrypt.h"
#include "db/paradox/ParadoxFamilyChecker.h"
#include "db/paradox/ParadoxTableHeader.h"

namespace morvane::checker {

class Findings
{
public:
    explicit Findings(ParadoxCheckReport& report) : report_(report) {}
    void violation(const std::string& file, const std::string& rule, const std::string& message);
    void deviation(const std::string& file, const std::string& rule, const std::string& message);

private:
    ParadoxCheckReport& report_;
};

// A file mapped into memory (ParadoxCheckAccess::Map); an empty file, one above 64 MiB (what is
// resident stays bounded) or one that cannot be mapped is read as ParadoxFileSource reads it.
class MappedFile : public ParadoxByteSource
{
public:
    // Throws EvxEngineError(vxErrNotFound) as ParadoxFileSource::Open.
    static std::unique_ptr<ParadoxByteSource> Open(const std::string& path);
    MappedFile(const std::uint8_t* data, std::uint64_t size, std::string name);
    ~MappedFile() override;
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buf, std::size_t count) const override;
    const std::uint8_t* data() const { return data_; }

private:
    const std::uint8_t* data_;
    std::uint64_t size_;
};

// A file of the family with its parsed header; blocks read on demand (decrypted for a
// protected .DB when given the key).
class FamilyFile
{
public:
    FamilyFile() = default;
    FamilyFile(const FamilyFile&) = delete;
    FamilyFile& operator=(const FamilyFile&) = delete;

    // False (with a violation) when the file cannot be read or its header is damaged.
    bool open(const ParadoxFamilyFiles& files, const std::string& name, Findings& findings);
    void setKey(std::uint32_t key);

    const std::string& name() const { return name_; }
    const ParadoxTableHeader& header() const { return header_; }
    std::uint64_t size() const { return size_; }
    std::size_t blockBytes() const { return blockBytes_; }
    std::uint8_t raw8(std::size_t at) const { return at < head_.size() ? head_[at] : 0; }
    std::uint16_t raw16(std::size_t at) const;
    // Block n (1-based) into out (blockBytes; past the end of the file zero); false when it
    // starts past the end.
    bool block(std::uint32_t n, std::vector<std::uint8_t>& out) const;
    // The same without a copy: valid until the next read of a block of this file; null when
    // the block starts past the end.
    const std::uint8_t* view(std::uint32_t n) const;
    // Bytes [offset, offset + count) of the file; false when they are not all in it.
    bool read(std::uint64_t offset, std::size_t count, std::uint8_t* out) const;

private:
    std::string name_;
    std::unique_ptr<ParadoxByteSource> source_;
    const std::uint8_t* mapped_ = nullptr; // the file's bytes when it is mapped
    std::uint64_t size_ = 0;
    std::vector<std::uint8_t> head_;
    ParadoxTableHeader header_;
    std::size_t blockBytes_ = 0;
    std::optional<ParadoxCipher> cipher_;
    // Blocks [windowFirst_, windowFirst_ + windowBlocks_) read ahead (decrypted).
    mutable std::vector<std::uint8_t> window_;
    mutable std::uint32_t windowFirst_ = 0;
    mutable std::uint32_t windowBlocks_ = 0;
};

// The blocks of a chain in chain order and the records each holds.
struct Chain
{
    std::vector<std::uint16_t> blocks;
    std::vector<std::uint16_t> counts;
    std::vector<std::int32_t> position; // by block number: index in blocks, -1 when not in the chain
    std::uint64_t records = 0;
};

// Walks the chain from the header's first block, checking links, counts and block sizes.
Chain WalkChain(const FamilyFile& file, std::size_t recordBytes, Findings& findings);

// The first key and the record count of every non-empty block of a table or X file.
struct BlockKeys
{
    std::size_t keyBytes = 0;
    std::vector<std::int32_t> slot; // by block number: index into keys/counts, -1 when none
    std::vector<std::uint8_t> keys;
    std::vector<std::uint16_t> counts;
    std::vector<std::uint16_t> blocks; // non-empty blocks

    void add(std::uint16_t block, const std::uint8_t* key, std::uint16_t count);
};

// Checks a .PX or Y file over the blocks it indexes. keyFields: the (type, size) it must list.
void CheckTree(const FamilyFile& tree, const BlockKeys& data, const std::vector<ParadoxField>& keyFields,
               Findings& findings);

// Checks an X file and its Y partner against the table (db: its blocks are read through
// dbChain to follow the entries' block numbers).
struct TableFacts
{
    const FamilyFile* db = nullptr;
    const Chain* chain = nullptr;
    std::optional<std::uint8_t> pxStamp; // PX 0x2C
    const ParadoxCollation* collation = nullptr;
};
void CheckSecondaryIndex(const ParadoxFamilyFiles& files, const std::string& xName, const std::string& yName,
                         const TableFacts& table, Findings& findings);

// Length in bytes of the fields before position `count`.
std::size_t FieldBytes(const std::vector<ParadoxField>& fields, std::size_t count);

} // namespace morvane::checker
