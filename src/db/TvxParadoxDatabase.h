#pragma once
// One directory of Paradox tables as a connected engine database. Reads headers only
// (.DB, .PX, .Xnn/.XGn, .VAL), never data blocks, and keeps what it parsed per table until
// a file changes. A protected table is read only when one of the session's passwords opens
// it (else code vxErrPasswordRequired); a damaged file gives vxErrInvalidFile naming it.

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
    std::vector<TvxTableListRec> ListTables(std::string_view pattern) override;
    TvxCursorProps ReadTableProperties(std::string_view tableName) override;
    std::vector<TvxFieldDesc> ReadFieldDescriptors(std::string_view tableName) override;
    std::vector<TvxIndexDesc> ReadIndexDescriptors(std::string_view tableName) override;
    std::vector<TvxRefIntDesc> ReadRefIntDescriptors(std::string_view tableName) override;
    std::vector<TvxValCheckDesc> ReadValChecks(std::string_view tableName) override;
    // Native: the code page of the table whose properties were read last (Windows-1252 before
    // any); unconvertible characters become '?'.
    std::string NativeToAnsi(std::string_view text) const override;
    std::string AnsiToNative(std::string_view text) const override;

    int NativeCodePage() const { return nativeCodePage_; }
    // Files parsed so far (for checking that repeated reads reuse the parsed headers).
    std::size_t ParseCount() const { return cache_.ParseCount(); }

private:
    // Resolves the table's file (any letter case), loads it and checks the password.
    std::shared_ptr<const ParadoxTable> openTable(std::string_view tableName);

    ParadoxDirectory directory_;
    std::shared_ptr<const std::vector<std::string>> passwords_;
    ParadoxTableCache cache_;
    int nativeCodePage_ = 1252;
};

} // namespace morvane
