#include "db/cpDatabase.h"

#include <algorithm>
#include <stdexcept>

#include "model/clvxTableDesc.h"

namespace morvane {

namespace {

TvxDatabase* currentDatabase = nullptr;

// Every live instance, for the component-removal rule.
std::vector<TvxDatabase*>& liveDatabases()
{
    static std::vector<TvxDatabase*> all;
    return all;
}

TvxFieldTypeList& sharedFieldTypes()
{
    static TvxFieldTypeList list;
    return list;
}

std::string upperAscii(std::string_view s)
{
    std::string out(s);
    for (auto& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace

TvxDatabase::TvxDatabase(IvxEngine& engine, std::string_view sessionName)
    : engine_(engine), session_(engine.Session(sessionName))
{
    liveDatabases().push_back(this);
    currentDatabase = this;
}

TvxDatabase::~TvxDatabase()
{
    // The list must not keep a handle that dies with us; its items stay.
    if (dataSetList_ && handle_)
        dataSetList_->SetDatabaseHandle(nullptr);
    auto& all = liveDatabases();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    if (currentDatabase == this)
        currentDatabase = nullptr;
}

TvxDatabase* TvxDatabase::Current()
{
    return currentDatabase;
}

void TvxDatabase::requireDisconnected() const
{
    if (Connected())
        throw std::logic_error("TvxDatabase: cannot change the source of a connected database");
}

void TvxDatabase::SetAliasName(std::string_view alias)
{
    requireDisconnected();
    aliasName_ = alias;
}

void TvxDatabase::SetDatabaseName(std::string_view name)
{
    requireDisconnected();
    databaseName_ = name;
}

void TvxDatabase::SetParams(TvxStringList params)
{
    requireDisconnected();
    params_ = std::move(params);
}

void TvxDatabase::SetAlias(std::string_view alias)
{
    requireDisconnected();
    aliasName_ = alias;
    databaseName_ = alias;
    params_.clear();
}

void TvxDatabase::SetPath(std::string_view directory)
{
    requireDisconnected();
    aliasName_.clear();
    params_.clear();
    databaseName_ = directory;
    params_.push_back("PATH=" + std::string(directory));
    params_.push_back("DEFAULT DRIVER=PARADOX");
    params_.push_back("ENABLE BCD=FALSE");
}

void TvxDatabase::OpenByAlias(std::string_view alias)
{
    SetAlias(alias);
    SetConnected(true);
}

void TvxDatabase::OpenByPath(std::string_view directory)
{
    SetPath(directory);
    SetConnected(true);
}

void TvxDatabase::SetConnected(bool Value)
{
    if (Connected() == Value)
        return;
    if (Value) {
        handle_ = session_.OpenDatabase({aliasName_, databaseName_, params_});
        if (dataSetList_) {
            dataSetList_->SetDatabaseHandle(handle_.get());
            dataSetList_->ReplaceItems(ReadTables());
        }
    } else {
        auto closing = std::move(handle_);
        if (dataSetList_) {
            dataSetList_->SetDatabaseHandle(nullptr);
            dataSetList_->ClearItems();
        }
    }
    if (OnConnected)
        OnConnected(Value);
}

void TvxDatabase::Notification(IvxDataSetList* removed)
{
    if (removed && dataSetList_ == removed)
        dataSetList_ = nullptr;
}

void TvxDatabase::NotifyDataSetListDestroyed(IvxDataSetList* removed)
{
    for (auto* db : liveDatabases())
        db->Notification(removed);
}

template <class Read>
auto TvxDatabase::withPasswords(const std::string& table, Read read) -> decltype(read())
{
    passwordTable_ = table;
    passwordRetries_ = 0;
    for (;; ++passwordRetries_) {
        try {
            return read();
        } catch (const EvxEngineError& e) {
            if (e.Code() != vxErrPasswordRequired || !OnPassword || !OnPassword(*this))
                throw;
        }
    }
}

TvxCursorProps TvxDatabase::readProperties(const std::string& tableName)
{
    return withPasswords(tableName, [&] { return handle_->ReadTableProperties(tableName); });
}

std::string TvxDatabase::EngineTableName(const TvxTableListRec& table) const
{
    const std::string ext = handle_ ? handle_->NativeToAnsi(table.extension()) : table.extension();
    std::string name = handle_ ? handle_->NativeToAnsi(table.tableName()) : table.tableName();
    if (!ext.empty())
        name += (ext.front() == '.' ? "" : ".") + ext;
    return name;
}

TvxTableDesc TvxDatabase::ReadTable(const TvxTableListRec& rec)
{
    if (!handle_)
        throw EvxEngineError(vxErrNotFound, "The database is not connected");
    const std::string name = EngineTableName(rec);
    // The record arrays and their counts come from the reads below; created empty, they are not
    // first made zeroed at the counts the properties give.
    TvxCursorProps props = readProperties(name);
    props.setFieldCount(0);
    props.setIndexCount(0);
    props.setRefIntCount(0);
    props.setValCheckCount(0);
    TvxTableDesc desc = TvxTableDesc::CreateFromEngine(&rec, props);

    auto fields = handle_->ReadFieldDescriptors(name);
    if (fields.size() > static_cast<std::size_t>(TvxTableDesc::MaxFields))
        fields.resize(TvxTableDesc::MaxFields);
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i].setFieldNumber(static_cast<int>(i + 1));
    desc.SetFields(std::move(fields));

    auto rules = handle_->ReadRefIntDescriptors(name);
    if (rules.size() > static_cast<std::size_t>(TvxTableDesc::MaxRefInts))
        rules.resize(TvxTableDesc::MaxRefInts);
    for (auto& rule : rules) {
        const int used = std::clamp(rule.fieldCount(), 0, TvxRefIntDesc::MaxFields);
        for (int i = used; i < TvxRefIntDesc::MaxFields; ++i) {
            rule.setThisField(i, 0);
            rule.setOtherField(i, 0);
        }
    }
    desc.SetRefInts(std::move(rules));

    auto indexes = handle_->ReadIndexDescriptors(name);
    if (indexes.size() > static_cast<std::size_t>(TvxTableDesc::MaxIndexes))
        indexes.resize(TvxTableDesc::MaxIndexes);
    desc.SetIndexes(std::move(indexes));

    auto checks = handle_->ReadValChecks(name);
    if (checks.size() > static_cast<std::size_t>(TvxTableDesc::MaxValChecks))
        checks.resize(TvxTableDesc::MaxValChecks);
    desc.SetValChecks(std::move(checks));
    return desc;
}

TvxTableItems TvxDatabase::ReadTables()
{
    if (!handle_)
        throw EvxEngineError(vxErrNotFound, "The database is not connected");
    TvxTableItems items;
    skipped_.clear();
    const std::vector<TvxTableListRec> tables = handle_->ListTables("*.db");
    const int total = static_cast<int>(tables.size());
    items.reserve(tables.size());
    if (OnReadProgress)
        OnReadProgress(0, total);
    for (const TvxTableListRec& rec : tables) {
        std::unique_ptr<TvxTableDesc> desc;
        try {
            desc = std::make_unique<TvxTableDesc>(ReadTable(rec));
        } catch (const EvxEngineError& e) {
            if (e.Code() == vxErrPasswordRequired) {
                if (!SkipRefusedTables)
                    throw;
                // Listed, protected, with nothing of its structure.
                desc = std::make_unique<TvxTableDesc>(TvxTableDesc::CreateFromEngine(&rec, TvxCursorProps()));
                desc->SetProtected(true);
            } else {
                skipped_.push_back({rec.fileName() + "." + rec.extension(), e.what()});
                if (OnReadProgress)
                    OnReadProgress(static_cast<int>(items.size() + skipped_.size()), total);
                continue;
            }
        }
        std::string itemName = desc->TableName();
        items.push_back({std::move(itemName), std::move(desc)});
        if (OnReadProgress)
            OnReadProgress(static_cast<int>(items.size() + skipped_.size()), total);
    }
    return items;
}

TvxTableListRec TvxDatabase::FindTable(std::string_view name)
{
    if (!handle_)
        throw EvxEngineError(vxErrNotFound, "The database is not connected");
    const std::string wanted = upperAscii(name);
    const std::vector<TvxTableListRec> tables = handle_->ListTables("*.db");
    for (const auto& rec : tables)
        if (upperAscii(handle_->NativeToAnsi(rec.tableName())) == wanted)
            return rec;
    for (const auto& rec : tables)
        if (upperAscii(EngineTableName(rec)) == wanted)
            return rec;
    throw EvxEngineError(vxErrNotFound, handle_->Directory() + ": no table " + std::string(name));
}

std::unique_ptr<IvxRecordSource> TvxDatabase::OpenRecords(std::string_view tableName)
{
    if (!handle_)
        throw EvxEngineError(vxErrNotFound, "The database is not connected");
    return withPasswords(std::string(tableName), [&] { return handle_->OpenRecords(tableName); });
}

std::string TvxDatabase::AliasPath() const
{
    if (aliasName_.empty())
        return {};
    for (const auto& line : session_.AliasParams(aliasName_)) {
        const auto eq = line.find('=');
        const std::string_view key = std::string_view(line).substr(0, eq);
        if (upperAscii(key) == "PATH")
            return eq == std::string::npos ? std::string{} : line.substr(eq + 1);
    }
    return {};
}

const TvxFieldTypeList& TvxDatabase::FieldTypeList()
{
    auto& list = sharedFieldTypes();
    if (list.empty()) {
        TvxFieldTypeList filled;
        for (const auto& rec : engine_.ListFieldTypes("PARADOX", "PDOX 7.0"))
            filled.push_back({rec.name(), rec});
        list = std::move(filled);
    }
    return list;
}

std::string TvxDatabase::FieldTypeName(int typeCode)
{
    for (const auto& entry : FieldTypeList())
        if (entry.record.typeCode() == typeCode)
            return entry.name;
    return {};
}

} // namespace morvane
