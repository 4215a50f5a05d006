#include "script/TvxScriptTableListListener.h"

#include "script/TvxScriptTableList.h"

#include <algorithm>

namespace morvane {

TvxScriptTableListListener::~TvxScriptTableListListener()
{
    Leave();
}

void TvxScriptTableListListener::Leave()
{
    if (!list_)
        return;
    if (lent_ && list_->StructFields() == lent_)
        list_->SetStructFields(nullptr);
    auto& listeners = list_->listeners_;
    listeners.erase(std::remove(listeners.begin(), listeners.end(), this), listeners.end());
    list_ = nullptr;
}

void TvxScriptTableListListener::Watch(TvxScriptTableList* list)
{
    if (list == list_)
        return;
    Leave();
    list_ = list;
    if (!list_)
        return;
    list_->listeners_.push_back(this);
    if (lent_)
        list_->SetStructFields(lent_);
}

void TvxScriptTableListListener::LendStructFields(IvxStructFields* fields)
{
    // A grid that someone else linked to the list in the meantime stays.
    if (list_ && (lent_ ? list_->StructFields() == lent_ : fields != nullptr))
        list_->SetStructFields(fields);
    lent_ = fields;
}

} // namespace morvane
