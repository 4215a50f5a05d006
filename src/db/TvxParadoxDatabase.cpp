#include "db/TvxParadoxDatabase.h"

#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxPassword.h"
#include "db/paradox/ParadoxRecordReader.h"
#include "db/paradox/ParadoxTableRecords.h"
#include "model/vxCodePage.h"
#include "model/vxFieldTypes.h"
#include "platform/vxNameMatch.h"
#include "platform/vxTime.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace morvane {

namespace {

constexpr int AnsiCodePage = 1252;

bool passwordOpens(const std::string& password, std::uint32_t key, int codePage)
{
    if (ParadoxPasswordMatches(password, key))
        return true;
    // A password typed as UTF-8 is held by the table in its own code page.
    const bool ascii = std::all_of(password.begin(), password.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return false;
    const std::string native = Utf8ToCodePage(password, codePage > 0 ? codePage : AnsiCodePage);
    return native != password && ParadoxPasswordMatches(native, key);
}

void fillDateTime(TvxTableListRec& rec, std::int64_t mtimeNs)
{
    const std::time_t secs = static_cast<std::time_t>(mtimeNs / 1000000000);
    std::tm local{};
    if (!vxLocalTime(secs, local))
        return;
    std::int32_t date = 0;
    std::int32_t time = 0;
    const int ms = static_cast<int>((mtimeNs / 1000000) % 1000);
    if (EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date))
        rec.setFileDate(date);
    if (EncodeTime(local.tm_hour, local.tm_min, local.tm_sec * 1000 + ms, time))
        rec.setFileTime(time);
}

} // namespace

TvxParadoxDatabase::TvxParadoxDatabase(std::string directory,
                                       std::shared_ptr<const std::vector<std::string>> sessionPasswords)
    : directory_(std::move(directory)), passwords_(std::move(sessionPasswords))
{
}

std::string TvxParadoxDatabase::Directory() const
{
    return directory_.path();
}

std::vector<TvxTableListRec> TvxParadoxDatabase::ListTables(std::string_view pattern)
{
    snapshot_.reset(); // a new pass over the tables looks at their files again
    const std::string pat = pattern.empty() ? std::string("*.db") : std::string(pattern);
    // "*<suffix>" with a plain ASCII suffix (the usual "*.db") is a suffix compared without
    // regard to case, exactly what the pattern match would say; anything else goes to it.
    const std::string_view suffix = std::string_view(pat).substr(1);
    const bool plainSuffix = pat.front() == '*' && std::none_of(suffix.begin(), suffix.end(), [](char c) {
        return c == '*' || c == '?' || c == '[' || c == '\\' || static_cast<unsigned char>(c) >= 0x80;
    });
    const auto matches = [&](const std::string& name) {
        if (plainSuffix)
            return name.size() >= suffix.size() &&
                   ParadoxDirectory::equalNoCase(std::string_view(name).substr(name.size() - suffix.size()), suffix);
        return vxMatchName(pat, name);
    };
    const std::vector<std::string>& files = directory_.files();
    std::vector<TvxTableListRec> out;
    out.reserve(static_cast<std::size_t>(std::count_if(files.begin(), files.end(), matches)));
    listed_.clear();
    listed_.reserve(out.capacity());
    listedNext_ = 0;
    for (const auto& name : files) {
        if (!matches(name))
            continue;
        ParadoxFileStamp stamp;
        try {
            stamp = directory_.stamp(name);
        } catch (const EvxEngineError&) {
            continue; // removed since the directory was listed
        }
        const auto dot = name.rfind('.');
        TvxTableListRec& rec = out.emplace_back();
        rec.setTableName(name.substr(0, dot));
        rec.setFileName(name.substr(0, dot));
        rec.setExtension(dot == std::string::npos ? std::string() : name.substr(dot + 1));
        rec.setTableType("PARADOX");
        fillDateTime(rec, stamp.mtimeNs);
        rec.setSize(static_cast<std::int32_t>(std::min<std::uint64_t>(stamp.size, 0x7FFFFFFF)));
        listed_.push_back(std::move(stamp));
    }
    return out;
}

std::uint32_t TvxParadoxDatabase::checkPassword(const ParadoxTableHeader& header, const std::string& fileName) const
{
    const std::uint32_t key = header.passwordKey();
    if (key == 0)
        return 0;
    if (passwords_)
        for (const auto& p : *passwords_)
            if (passwordOpens(p, key, ParadoxTextCodePage(header)))
                return key;
    throw EvxEngineError(vxErrPasswordRequired,
                         directory_.pathOf(fileName) + ": the table is protected; a password is required");
}

std::shared_ptr<const ParadoxTable> TvxParadoxDatabase::openTable(std::string_view tableName, ReadKind kind)
{
    const unsigned bit = 1u << static_cast<unsigned>(kind);
    if (snapshot_ && snapshotName_ == tableName && (snapshotReads_ & bit) == 0) {
        checkPassword(snapshot_->header, snapshotFile_);
        snapshotReads_ |= bit;
        return snapshot_;
    }
    snapshot_.reset();
    std::string wanted(tableName);
    if (wanted.find('.') == std::string::npos)
        wanted += ".DB";
    // The password is checked on the .DB header, before any other file of the table is read.
    std::optional<std::string> file;
    const auto load = [&](const ParadoxFileStamp* listed) {
        return cache_.Load(directory_, *file, [&](const ParadoxTableHeader& h) { checkPassword(h, *file); }, listed);
    };
    std::shared_ptr<const ParadoxTable> table;
    // The next table of the listing just made needs no second look at the directory or its .DB;
    // a file of it gone since sends the read to the directory as it is now.
    if (listedNext_ < listed_.size() && listed_[listedNext_].name == wanted) {
        file = wanted;
        try {
            table = load(&listed_[listedNext_]);
            ++listedNext_;
        } catch (const EvxEngineError& e) {
            if (e.Code() != vxErrNotFound)
                throw;
        }
    }
    if (!table) {
        listed_.clear();
        file = directory_.find(wanted);
        if (!file)
            throw EvxEngineError(vxErrNotFound, directory_.pathOf(wanted) + ": table not found");
        table = load(nullptr);
    }
    snapshot_ = table;
    snapshotName_ = tableName;
    snapshotFile_ = *file;
    snapshotReads_ = bit;
    return table;
}

TvxCursorProps TvxParadoxDatabase::ReadTableProperties(std::string_view tableName)
{
    return ParadoxCursorProps(*openTable(tableName, ReadKind::Properties), tableName);
}

std::vector<TvxFieldDesc> TvxParadoxDatabase::ReadFieldDescriptors(std::string_view tableName)
{
    return ParadoxFieldDescs(*openTable(tableName, ReadKind::Fields));
}

std::vector<TvxIndexDesc> TvxParadoxDatabase::ReadIndexDescriptors(std::string_view tableName)
{
    return ParadoxIndexDescs(*openTable(tableName, ReadKind::Indexes));
}

std::vector<TvxRefIntDesc> TvxParadoxDatabase::ReadRefIntDescriptors(std::string_view tableName)
{
    return ParadoxRefIntDescs(*openTable(tableName, ReadKind::RefInts));
}

std::vector<TvxValCheckDesc> TvxParadoxDatabase::ReadValChecks(std::string_view tableName)
{
    return ParadoxValCheckDescs(*openTable(tableName, ReadKind::ValChecks));
}

std::unique_ptr<IvxRecordSource> TvxParadoxDatabase::OpenRecords(std::string_view tableName)
{
    const auto table = openTable(tableName, ReadKind::Records);
    const std::string dbFile = snapshotFile_;
    const std::uint32_t key = checkPassword(table->header, dbFile);
    const auto open = [&](const std::string& name) -> std::unique_ptr<ParadoxByteSource> {
        const int fd = directory_.openForReading(name);
        if (fd < 0)
            throw EvxEngineError(vxErrNotFound,
                                 directory_.pathOf(name) + ": file cannot be opened (" + std::strerror(errno) + ")");
        return std::make_unique<ParadoxFileSource>(fd, directory_.pathOf(name));
    };
    auto db = open(dbFile);
    std::unique_ptr<ParadoxByteSource> mb;
    const std::string_view base = std::string_view(dbFile).substr(0, dbFile.rfind('.'));
    for (const std::string& f : directory_.family(base))
        if (ParadoxDirectory::equalNoCase(std::string_view(f).substr(base.size()), ".MB"))
            mb = open(f);
    // The reader checks the key against the header it reads itself, so a table changed since
    // is not read with another table's password.
    return std::make_unique<ParadoxRecordReader>(std::move(db), std::move(mb), key);
}

std::string TvxParadoxDatabase::NativeToAnsi(std::string_view text) const
{
    return std::string(text);
}

std::string TvxParadoxDatabase::AnsiToNative(std::string_view text) const
{
    return std::string(text);
}

} // namespace morvane
