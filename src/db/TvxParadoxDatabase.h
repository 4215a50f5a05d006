#pragma once
// One directory of Paradox tables as a connected engine database. The structure reads take
// headers only (.DB, .PX, .Xnn/.XGn, .VAL), never data blocks, and keep what they parsed per
// table until a file changes; OpenRecords reads the data. The reads of one table that follow each other, each kind once (as a
// connect makes them), are served from one look at its files, so they describe the same
// state of the table; repeating a kind, reading another table or listing the tables looks
// at the files again. A protected table is read only when one of the session's passwords
// opens it (else code vxErrPasswordRequired); a damaged file gives vxErrInvalidFile naming it.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/IvxEngine.h"
#include "db/paradox/ParadoxDirectory.h"
#include "db/paradox/ParadoxTableCache.h"

namespace morvane {

class TvxParadoxDatabase : public IvxEngineDatabase
{
public:
    // sessionPasswords: the session's password list, read at every table read (shared, so
    // passwords added later count).
    TvxParadoxDatabase(std::string directory, std::shared_ptr<const std::vector<std::string>> sessionPasswords);

    std::string Directory() const override;
    // Regular files matching the pattern without regard to case ("*.db"), sorted by name.
    // Reads of the listed tables that follow in the list's order (as a connect makes them)
    // take the directory's names and each .DB's modification time and size from the listing
    // rather than looking again (a file gone since, or a header that does not fit the listed
    // size, is looked at again); any other read ends that.
    std::vector<TvxTableListRec> ListTables(std::string_view pattern) override;
    TvxCursorProps ReadTableProperties(std::string_view tableName) override;
    std::vector<TvxFieldDesc> ReadFieldDescriptors(std::string_view tableName) override;
    std::vector<TvxIndexDesc> ReadIndexDescriptors(std::string_view tableName) override;
    std::vector<TvxRefIntDesc> ReadRefIntDescriptors(std::string_view tableName) override;
    std::vector<TvxValCheckDesc> ReadValChecks(std::string_view tableName) override;
    // A ParadoxRecordReader over the table's .DB and .MB (see there for the faults it reports).
    std::unique_ptr<IvxRecordSource> OpenRecords(std::string_view tableName) override;
    // The database's locale: table names are the file names as the file system gives them and
    // go back to it unchanged, whatever the code page of the tables read in between, so
    // both conversions keep the bytes. The tables' own texts are converted by their
    // descriptors' code page, not here.
    std::string NativeToAnsi(std::string_view text) const override;
    std::string AnsiToNative(std::string_view text) const override;

    // Files parsed so far (for checking that repeated reads reuse the parsed headers).
    std::size_t ParseCount() const { return cache_.ParseCount(); }
    // Bytes read from files so far (headers of .DB, .PX and X files, whole .VAL files).
    std::uint64_t BytesRead() const { return cache_.BytesRead(); }

private:
    enum class ReadKind : unsigned { Properties, Fields, Indexes, RefInts, ValChecks, Records };
    // Resolves the table's file (any letter case), loads it and checks the password.
    std::shared_ptr<const ParadoxTable> openTable(std::string_view tableName, ReadKind kind);
    // The key of the session password that opens the table, 0 when it is unprotected; throws
    // vxErrPasswordRequired when no session password opens it.
    std::uint32_t checkPassword(const ParadoxTableHeader& header, const std::string& fileName) const;

    ParadoxDirectory directory_;
    std::shared_ptr<const std::vector<std::string>> passwords_;
    ParadoxTableCache cache_;
    // The table read last, as it was when its files were last looked at, and the kinds of
    // read served from that look.
    std::shared_ptr<const ParadoxTable> snapshot_;
    std::string snapshotName_;
    std::string snapshotFile_;
    unsigned snapshotReads_ = 0;
    // The files of the last listing with their stamps, and the next one a read in the list's
    // order takes.
    std::vector<ParadoxFileStamp> listed_;
    std::size_t listedNext_ = 0;
};

} // namespace morvane
