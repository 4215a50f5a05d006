#pragma once
// TvxScriptTableListListener: follows one TvxScriptTableList, as a widget presenting it does.
// The link ends with whichever of the two goes first: a listener leaves its list when it is
// destroyed, and a list being destroyed lets its listeners go (ListGone). A grid lent to the
// list (LendStructFields) is the list's StructFields while the link lasts and is taken back
// when it ends, so the list never keeps a grid of a listener that is gone.

namespace morvane {

class IvxStructFields;
class TvxScriptTableList;

class TvxScriptTableListListener
{
public:
    TvxScriptTableListListener() = default;
    TvxScriptTableListListener(const TvxScriptTableListListener&) = delete;
    TvxScriptTableListListener& operator=(const TvxScriptTableListListener&) = delete;
    virtual ~TvxScriptTableListListener();

    // The list followed, or null.
    TvxScriptTableList* WatchedList() const { return list_; }
    // Follows list (null: none), leaving the list followed before and taking the lent grid
    // along to the new one.
    void Watch(TvxScriptTableList* list);
    // The grid the followed list keeps in step (null: none); not owned.
    void LendStructFields(IvxStructFields* fields);

protected:
    // Entries were added, deleted or renamed.
    virtual void EntriesChanged() {}
    // The selection moved through the list (its Change), after the grid was refreshed and
    // before OnChange fires.
    virtual void SelectionChanged() {}
    // The list is being destroyed; WatchedList() is already null.
    virtual void ListGone() {}

private:
    friend class TvxScriptTableList;

    void Leave();

    TvxScriptTableList* list_ = nullptr;
    IvxStructFields* lent_ = nullptr;
};

} // namespace morvane
