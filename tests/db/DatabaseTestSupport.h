#pragma once
// Helpers for the connection tests: a table-list sink that records what it is given, and an
// engine wrapper that counts the calls reaching the real engine.

#include <memory>
#include <string>
#include <vector>

#include "db/IvxDataSetList.h"
#include "db/IvxEngine.h"
#include "db/cpDatabase.h"

namespace morvane::test {

class RecordingDataSetList : public IvxDataSetList
{
public:
    RecordingDataSetList() = default;
    RecordingDataSetList(const RecordingDataSetList&) = delete;
    RecordingDataSetList& operator=(const RecordingDataSetList&) = delete;
    // Component removal, as the table list box does it.
    ~RecordingDataSetList() override { TvxDatabase::NotifyDataSetListDestroyed(this); }

    void SetDatabaseHandle(IvxEngineDatabase* h) override
    {
        handle = h;
        ++handleCalls;
    }
    void ReplaceItems(TvxTableItems newItems) override
    {
        items = std::move(newItems);
        ++replaceCalls;
    }
    void ClearItems() override
    {
        items.clear();
        ++clearCalls;
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& i : items)
            out.push_back(i.name);
        return out;
    }

    IvxEngineDatabase* handle = nullptr;
    TvxTableItems items;
    int handleCalls = 0;
    int replaceCalls = 0;
    int clearCalls = 0;
};

class CountingSession : public IvxEngineSession
{
public:
    explicit CountingSession(IvxEngineSession& inner) : inner_(inner) {}
    std::string Name() const override { return inner_.Name(); }
    void SetPersistentConfigMode() override { ++calls, inner_.SetPersistentConfigMode(); }
    TvxStringList AliasNames() override { return ++calls, inner_.AliasNames(); }
    TvxStringList DriverNames() override { return ++calls, inner_.DriverNames(); }
    TvxStringList AliasParams(std::string_view a) override { return ++calls, inner_.AliasParams(a); }
    void ModifyAlias(std::string_view a, const TvxStringList& p) override { ++calls, inner_.ModifyAlias(a, p); }
    void DeleteAlias(std::string_view a) override { ++calls, inner_.DeleteAlias(a); }
    void AddPassword(std::string_view p) override { ++calls, inner_.AddPassword(p); }
    std::unique_ptr<IvxEngineDatabase> OpenDatabase(const TvxDatabaseParams& p) override
    {
        return ++calls, inner_.OpenDatabase(p);
    }
    int calls = 0;

private:
    IvxEngineSession& inner_;
};

class CountingEngine : public IvxEngine
{
public:
    explicit CountingEngine(std::unique_ptr<IvxEngine> inner) : inner_(std::move(inner)) {}
    IvxEngineSession& Session(std::string_view name) override
    {
        if (!session_)
            session_ = std::make_unique<CountingSession>(inner_->Session(name));
        return *session_;
    }
    std::vector<TvxFieldTypeRec> ListFieldTypes(std::string_view d, std::string_view t) override
    {
        ++fieldTypeCalls;
        return inner_->ListFieldTypes(d, t);
    }
    CountingSession& session() { return static_cast<CountingSession&>(Session(vxSession)); }
    int fieldTypeCalls = 0;

private:
    std::unique_ptr<IvxEngine> inner_;
    std::unique_ptr<CountingSession> session_;
};

} // namespace morvane::test
