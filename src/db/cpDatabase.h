#pragma once
// TvxDatabase: the program's database connection. It lives in one engine session, connects
// by alias or by directory, and on connect reads the structure of every Paradox table into a
// TvxTableDesc and hands the list to its DataSetList (not owned; cleared on disconnect).
// Engine failures are EvxEngineError. The most recently created instance is Current(); the
// Paradox field-type list is one per program, shared by all instances.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/IvxDataSetList.h"
#include "db/IvxEngine.h"
#include "model/TvxFieldTypeRec.h"
#include "model/clvxTableDesc.h"

namespace morvane {

class TvxDatabase;

// Value: the new connected state.
using TvxEventConnect = std::function<void(bool Value)>;
// Value: the database that needs a password; true = a password was supplied, try again.
using TvxPasswordEvent = std::function<bool(TvxDatabase& Value)>;

// One entry of the field-type list: the type name and the engine's record.
struct TvxFieldTypeEntry
{
    std::string name;
    TvxFieldTypeRec record;
};
using TvxFieldTypeList = std::vector<TvxFieldTypeEntry>;

class TvxDatabase
{
public:
    // The engine and the session outlive the database. Makes this instance the current one.
    explicit TvxDatabase(IvxEngine& engine, std::string_view sessionName = vxSession);
    virtual ~TvxDatabase();
    TvxDatabase(const TvxDatabase&) = delete;
    TvxDatabase& operator=(const TvxDatabase&) = delete;

    // The most recently created instance still alive, or null.
    static TvxDatabase* Current();

    // What the database connects with. Changing them while connected throws std::logic_error.
    const std::string& AliasName() const { return aliasName_; }
    void SetAliasName(std::string_view alias);
    const std::string& DatabaseName() const { return databaseName_; }
    void SetDatabaseName(std::string_view name);
    const TvxStringList& Params() const { return params_; }
    void SetParams(TvxStringList params);
    // Alias name and database name set to alias, parameters cleared.
    void SetAlias(std::string_view alias);
    // No alias; database name = directory; parameters "PATH=" + directory,
    // "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE".
    void SetPath(std::string_view directory);
    // SetAlias / SetPath, then connect.
    void OpenByAlias(std::string_view alias);
    void OpenByPath(std::string_view directory);

    IvxEngineSession& Session() const { return session_; }
    // The engine database handle while connected, else null.
    IvxEngineDatabase* Handle() const { return handle_.get(); }

    bool Connected() const { return handle_ != nullptr; }
    // Nothing when already in that state; else connects or disconnects, fills or clears
    // DataSetList and calls OnConnected. Engine errors propagate; an error while reading the
    // tables leaves the database connected and the list unfilled.
    void SetConnected(bool Value);

    IvxDataSetList* DataSetList() const { return dataSetList_; }
    void SetDataSetList(IvxDataSetList* list) { dataSetList_ = list; }
    // Component removal: the list is going away; drop the reference if it is ours.
    void Notification(IvxDataSetList* removed);
    // The same for every live instance. A list linked with SetDataSetList must call this from
    // its destructor; the database then never touches it again.
    static void NotifyDataSetListDestroyed(IvxDataSetList* removed);

    TvxEventConnect OnConnected;
    TvxPasswordEvent OnPassword;
    // While OnPassword runs: the table that asks ("CUSTOMER.DB") and how many passwords given
    // for it in this reading did not open it (0 at the first question).
    const std::string& PasswordTable() const { return passwordTable_; }
    int PasswordRetries() const { return passwordRetries_; }
    // True: a table whose password question is answered false is listed all the same, protected
    // and without its structure, and the other tables are read; false: the reading fails.
    bool SkipRefusedTables = false;
    // While ReadTables reads: the tables read so far and how many there are, before the first
    // and after each. What it throws ends the reading and passes on (a connect then leaves the
    // database connected with the list unfilled).
    std::function<void(int done, int total)> OnReadProgress;

    // Every Paradox table of the connected database, in the engine's order; the caller takes
    // the descriptors. A protected table is retried while OnPassword answers true. A table that
    // cannot be read (damaged) is left out and named, with the reason, in SkippedTables.
    TvxTableItems ReadTables();
    struct TvxSkippedTable
    {
        std::string name; // file name, as the directory holds it
        std::string reason;
    };
    // The tables the last ReadTables (or connect) left out.
    const std::vector<TvxSkippedTable>& SkippedTables() const { return skipped_; }
    // One table of the connected database by its table-list record (as ListTables gives it),
    // read as ReadTables reads each.
    TvxTableDesc ReadTable(const TvxTableListRec& table);
    // The table-list record of the table named as the list shows it ("CUSTOMER") or by its file
    // name ("customer.db"), without regard to case; throws vxErrNotFound when there is none.
    TvxTableListRec FindTable(std::string_view name);
    // The records of a table ("CUSTOMER.DB"); a protected table is retried while OnPassword
    // answers true.
    std::unique_ptr<IvxRecordSource> OpenRecords(std::string_view tableName);
    // "<table name>.<extension>" of a table-list record, the name the engine's reads take.
    std::string EngineTableName(const TvxTableListRec& table) const;
    // The value of the alias's PATH parameter (key in any letter case); empty when the alias has
    // none or no alias is set.
    std::string AliasPath() const;

    // The shared field-type list, filled from the engine on first use.
    virtual const TvxFieldTypeList& FieldTypeList();
    // Name of the first type with that physical code; empty when none.
    virtual std::string FieldTypeName(int typeCode);

private:
    void requireDisconnected() const;
    TvxCursorProps readProperties(const std::string& tableName);
    // Runs read of table, and again after each password OnPassword supplies.
    template <class Read>
    auto withPasswords(const std::string& table, Read read) -> decltype(read());

    IvxEngine& engine_;
    IvxEngineSession& session_;
    std::vector<TvxSkippedTable> skipped_;
    std::string aliasName_;
    std::string databaseName_;
    TvxStringList params_;
    std::unique_ptr<IvxEngineDatabase> handle_;
    IvxDataSetList* dataSetList_ = nullptr;
    std::string passwordTable_;
    int passwordRetries_ = 0;
};

} // namespace morvane
