#pragma once
// The database engine as the program sees it: sessions with the persistent alias
// configuration, drivers and passwords; connected databases with their table operations.
// Every failure is an EvxEngineError carrying the engine's (code, message) list.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/EvxEngineError.h"
#include "db/IvxRecordSource.h"
#include "model/TvxCursorProps.h"
#include "model/TvxFieldDesc.h"
#include "model/TvxFieldTypeRec.h"
#include "model/TvxIndexDesc.h"
#include "model/TvxRefIntDesc.h"
#include "model/TvxTableListRec.h"
#include "model/TvxValCheckDesc.h"

namespace morvane {

using TvxStringList = std::vector<std::string>;

// Session names the program uses.
inline constexpr std::string_view vxDefaultSession = "Default";
inline constexpr std::string_view vxSession = "Session";
inline constexpr std::string_view vxSessionNew = "SessionNew";

// What a database object connects with: an alias name, or parameters such as "PATH=<dir>",
// "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE" (alias name empty).
struct TvxDatabaseParams
{
    std::string aliasName;
    std::string databaseName;
    TvxStringList params;
};

// A connected database: the handle every table operation takes. Table names carry their
// extension ("CUSTOMER.DB"). Texts in records are the bytes the tables hold.
class IvxEngineDatabase
{
public:
    virtual ~IvxEngineDatabase() = default;
    virtual std::string Directory() const = 0;
    // Tables matching the pattern ("*.db", any letter case), in the engine's order.
    virtual std::vector<TvxTableListRec> ListTables(std::string_view pattern) = 0;
    // Throws code vxErrPasswordRequired when the table is protected and no password of the
    // session opens it.
    virtual TvxCursorProps ReadTableProperties(std::string_view tableName) = 0;
    virtual std::vector<TvxFieldDesc> ReadFieldDescriptors(std::string_view tableName) = 0;
    virtual std::vector<TvxIndexDesc> ReadIndexDescriptors(std::string_view tableName) = 0;
    virtual std::vector<TvxRefIntDesc> ReadRefIntDescriptors(std::string_view tableName) = 0;
    virtual std::vector<TvxValCheckDesc> ReadValChecks(std::string_view tableName) = 0;
    // The table's records in field order, read from its files as they are now (the same
    // password rule as the reads above); the source is independent of this object's later use.
    virtual std::unique_ptr<IvxRecordSource> OpenRecords(std::string_view tableName) = 0;
    // Text conversions with the database's locale (native: the table's code page).
    virtual std::string NativeToAnsi(std::string_view text) const = 0;
    virtual std::string AnsiToNative(std::string_view text) const = 0;
};

class IvxEngineSession
{
public:
    virtual ~IvxEngineSession() = default;
    virtual std::string Name() const = 0;
    virtual void SetPersistentConfigMode() = 0;
    virtual TvxStringList AliasNames() = 0;
    // "STANDARD" first, then each other driver.
    virtual TvxStringList DriverNames() = 0;
    // key=value lines; throws when the alias does not exist.
    virtual TvxStringList AliasParams(std::string_view alias) = 0;
    // Creates the alias when missing; in persistent mode the change is saved at once.
    virtual void ModifyAlias(std::string_view alias, const TvxStringList& params) = 0;
    // No error when the alias does not exist.
    virtual void DeleteAlias(std::string_view alias) = 0;
    virtual void AddPassword(std::string_view password) = 0;
    // Opens and connects; throws on an unknown alias or a missing directory.
    virtual std::unique_ptr<IvxEngineDatabase> OpenDatabase(const TvxDatabaseParams& params) = 0;
};

class IvxEngine
{
public:
    virtual ~IvxEngine() = default;
    // "Default", "Session", "SessionNew" or any other name; created on first use, owned here.
    virtual IvxEngineSession& Session(std::string_view name) = 0;
    // The driver's field types (driver "PARADOX", table type "PDOX 7.0").
    virtual std::vector<TvxFieldTypeRec> ListFieldTypes(std::string_view driver, std::string_view tableType) = 0;
};

// The program's engine: our Paradox reader over the alias configuration file
// ($MORVANE_ENGINE_CONFIG, else $XDG_CONFIG_HOME or ~/.config, then /morvane/aliases.conf).
std::unique_ptr<IvxEngine> CreateParadoxEngine();
// Same, with an explicit configuration file.
std::unique_ptr<IvxEngine> CreateParadoxEngine(const std::string& configPath);

} // namespace morvane
