#include "script/TvxScriptTableList.h"

#include "model/vxTextCase.h"
#include "script/TvxScriptTableListListener.h"
#include "stream/TReader.h"
#include "stream/TWriter.h"

#include <algorithm>
#include <iterator>

namespace morvane {

namespace {

constexpr int kBufferSize = 1024;
constexpr std::size_t kRuleNameMax = 30;

} // namespace

TvxScriptTableList::~TvxScriptTableList()
{
    const std::vector<TvxScriptTableListListener*> listeners = std::move(listeners_);
    listeners_.clear();
    for (TvxScriptTableListListener* listener : listeners) {
        listener->list_ = nullptr;
        listener->ListGone();
    }
}

void TvxScriptTableList::Tell(void (TvxScriptTableListListener::*hook)())
{
    // A listener told may make another leave (or go): walk a copy, skipping those that left.
    const std::vector<TvxScriptTableListListener*> listeners = listeners_;
    for (TvxScriptTableListListener* listener : listeners)
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            (listener->*hook)();
}

void TvxScriptTableList::EntriesChanged()
{
    Tell(&TvxScriptTableListListener::EntriesChanged);
}

// ---- Entries -------------------------------------------------------------------------------

int TvxScriptTableList::AddTable(std::string name, std::unique_ptr<TvxTableDesc> desc)
{
    if (!desc)
        desc = std::make_unique<TvxTableDesc>();
    if (byNameValid_)
        byName_.emplace(UpperText(name), Count());
    entries_.push_back(Entry{std::move(name), std::move(desc)});
    EntriesChanged();
    return Count() - 1;
}

int TvxScriptTableList::AddNewTable(std::string name, std::unique_ptr<TvxTableDesc> desc)
{
    if (!desc)
        desc = std::make_unique<TvxTableDesc>();
    desc->SetTableName(name);
    desc->SetExtension("DB");
    desc->SetTableType("PARADOX");
    return AddTable(std::move(name), std::move(desc));
}

void TvxScriptTableList::DeleteTable(int index)
{
    if (index < 0 || index >= Count())
        return;
    const bool wasSelected = index == itemIndex_;
    entries_.erase(entries_.begin() + index);
    byNameValid_ = false;
    // The selection is made valid before anyone is told of the entries.
    if (!wasSelected) {
        if (index < itemIndex_)
            --itemIndex_;
        EntriesChanged();
        return;
    }
    itemIndex_ = std::min(index, Count() - 1);
    EntriesChanged();
    // The grid must not keep showing the fields of a descriptor that is gone.
    Change();
}

std::string TvxScriptTableList::NameAt(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return entries_[static_cast<std::size_t>(index)].name;
}

TvxTableDesc* TvxScriptTableList::TableAt(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return entries_[static_cast<std::size_t>(index)].desc.get();
}

int TvxScriptTableList::IndexOfName(std::string_view name) const
{
    if (!byNameValid_) {
        byName_.clear();
        for (int i = 0; i < Count(); ++i)
            byName_.emplace(UpperText(entries_[static_cast<std::size_t>(i)].name), i);
        byNameValid_ = true;
    }
    const auto found = byName_.find(UpperText(name));
    return found == byName_.end() ? -1 : found->second;
}

TvxTableDesc* TvxScriptTableList::TableByName(std::string_view name) const
{
    return TableAt(IndexOfName(name));
}

void TvxScriptTableList::ClearTables()
{
    SelectIndex(-1);
    entries_.clear();
    byNameValid_ = false;
    EntriesChanged();
}

void TvxScriptTableList::ReplaceEntries(int index, int count,
                                        std::vector<std::pair<std::string, std::unique_ptr<TvxTableDesc>>> with)
{
    index = std::clamp(index, 0, Count());
    count = std::clamp(count, 0, Count() - index);
    if (itemIndex_ >= index && itemIndex_ < index + count)
        SelectIndex(-1);
    std::vector<Entry> entries;
    entries.reserve(with.size());
    for (auto& [name, desc] : with)
        entries.push_back(Entry{std::move(name), desc ? std::move(desc) : std::make_unique<TvxTableDesc>()});
    const auto first = entries_.begin() + index;
    entries_.erase(first, first + count);
    entries_.insert(entries_.begin() + index, std::make_move_iterator(entries.begin()),
                    std::make_move_iterator(entries.end()));
    byNameValid_ = false;
    if (itemIndex_ >= index + count)
        itemIndex_ += static_cast<int>(entries.size()) - count;
    EntriesChanged();
}

// ---- Selection -----------------------------------------------------------------------------

void TvxScriptTableList::SelectIndex(int index)
{
    if (index < 0 || index >= Count())
        index = -1;
    if (index == itemIndex_)
        return;
    itemIndex_ = index;
    Change();
}

void TvxScriptTableList::SetItemIndex(int index)
{
    itemIndex_ = index < 0 || index >= Count() ? -1 : index;
}

void TvxScriptTableList::Change()
{
    RefreshFields();
    Tell(&TvxScriptTableListListener::SelectionChanged);
    if (OnChange)
        OnChange();
}

void TvxScriptTableList::RefreshFields()
{
    const TvxTableDesc* desc = SelectedTable();
    if (structFields_) {
        if (desc && desc->FieldCount() > 0)
            structFields_->ShowFields(desc->Fields().data(), desc->FieldCount());
        else
            structFields_->ShowFields(nullptr, 0);
    }
    ownRow_ = (desc ? desc->FieldCount() : 0) + 1;
}

TvxTableDesc* TvxScriptTableList::SelectedTable() const
{
    return TableAt(itemIndex_);
}

std::string TvxScriptTableList::SelectedName() const
{
    return NameAt(itemIndex_);
}

void TvxScriptTableList::RenameSelected(std::string_view name)
{
    if (itemIndex_ < 0)
        return;
    std::string& text = entries_[static_cast<std::size_t>(itemIndex_)].name;
    if (text != name) {
        text = std::string(name);
        byNameValid_ = false;
        EntriesChanged();
    }
}

// ---- Field edits ---------------------------------------------------------------------------

int TvxScriptTableList::GridRow() const
{
    return structFields_ ? structFields_->SelectedRow() : ownRow_;
}

bool TvxScriptTableList::InsertField(const TvxFieldDesc& field)
{
    TvxTableDesc* desc = SelectedTable();
    if (!desc)
        return false;
    const int countBefore = desc->FieldCount();
    const int row = GridRow();
    if (row < 1) {
        // No field row selected (title row or none): append, and show the grid afresh.
        if (!desc->InsertField(field, countBefore))
            return false;
        RefreshFields();
        return true;
    }
    if (!desc->InsertField(field, row - 1))
        return false;
    if (structFields_)
        structFields_->InsertAtCurrentRow(field);
    else
        ownRow_ = std::min(row - 1, countBefore) + 2;
    return true;
}

int TvxScriptTableList::InsertionPos() const
{
    const TvxTableDesc* desc = SelectedTable();
    if (!desc)
        return -1;
    const int row = GridRow();
    return row < 1 ? desc->FieldCount() : std::min(row - 1, desc->FieldCount());
}

bool TvxScriptTableList::ChangeField(const TvxFieldDesc& field)
{
    TvxTableDesc* desc = SelectedTable();
    const int row = GridRow();
    if (!desc || row < 1)
        return false;
    if (!desc->SetField(field, row - 1))
        return false;
    if (structFields_)
        structFields_->UpdateCurrentRow(field);
    return true;
}

bool TvxScriptTableList::DeleteField(std::string_view name)
{
    // The field is found by its name, not by the grid's selection: the command recorded for the
    // deletion names it, and the descriptor must lose that very field.
    TvxTableDesc* desc = SelectedTable();
    if (!desc)
        return false;
    const auto& fields = desc->Fields();
    const auto it = std::find_if(fields.begin(), fields.end(),
                                 [&](const TvxFieldDesc& f) { return SameText(f.name(), name); });
    if (it == fields.end())
        return false;
    const int pos = static_cast<int>(it - fields.begin());
    if (!desc->DeleteField(pos))
        return false;
    if (structFields_)
        structFields_->DeleteRow(pos + 1);
    else
        ownRow_ = std::min(ownRow_, desc->FieldCount() + 1);
    return true;
}

const TvxFieldDesc* TvxScriptTableList::CurrentField() const
{
    const TvxTableDesc* desc = SelectedTable();
    const int row = GridRow();
    if (!desc || row < 1)
        return nullptr;
    return desc->GetField(row - 1);
}

int TvxScriptTableList::CurrentFieldPos() const
{
    const int row = GridRow();
    return row < 1 ? -1 : row - 1;
}

void TvxScriptTableList::SetCurrentFieldPos(int pos)
{
    const int count = FieldCount();
    ownRow_ = std::clamp(pos, 0, count) + 1;
}

// ---- Forwarding ----------------------------------------------------------------------------

int TvxScriptTableList::FieldCount() const
{
    const TvxTableDesc* d = SelectedTable();
    return d ? d->FieldCount() : 0;
}

std::span<const TvxFieldDesc> TvxScriptTableList::Fields() const
{
    const TvxTableDesc* d = SelectedTable();
    if (!d)
        return {};
    return {d->Fields().data(), d->Fields().size()};
}

int TvxScriptTableList::FieldNumber(std::string_view name) const
{
    const TvxTableDesc* d = SelectedTable();
    return d ? d->FieldNumber(name) : 0;
}

bool TvxScriptTableList::AddValCheck(std::string_view minText, std::string_view maxText, const TvxFieldDesc& field,
                                     bool required, std::string_view pictureText, std::string_view defaultText)
{
    TvxTableDesc* d = SelectedTable();
    return d && d->AddValCheck(minText, maxText, field, required, pictureText, defaultText);
}

bool TvxScriptTableList::DeleteValCheck(int fieldNo)
{
    TvxTableDesc* d = SelectedTable();
    return d && d->DeleteValCheck(fieldNo);
}

const TvxValCheckDesc* TvxScriptTableList::FindValCheck(int fieldNo) const
{
    const TvxTableDesc* d = SelectedTable();
    return d ? d->FindValCheck(fieldNo) : nullptr;
}

void TvxScriptTableList::RenumberIndexFields(int fieldNo, int mode)
{
    if (TvxTableDesc* d = SelectedTable())
        d->RenumberIndexFields(fieldNo, mode);
}

bool TvxScriptTableList::PrimaryKeyReaches(int n) const
{
    const TvxTableDesc* d = SelectedTable();
    return d && d->PrimaryKeyReaches(n);
}

bool TvxScriptTableList::IndexExists(std::string_view name) const
{
    const TvxTableDesc* d = SelectedTable();
    return d && d->IndexExists(name);
}

int TvxScriptTableList::IndexCount() const
{
    const TvxTableDesc* d = SelectedTable();
    return d ? d->IndexCount() : 0;
}

const TvxIndexDesc* TvxScriptTableList::GetIndex(int pos) const
{
    const TvxTableDesc* d = SelectedTable();
    return d ? d->GetIndex(pos) : nullptr;
}

bool TvxScriptTableList::IsPrimary(int pos) const
{
    const TvxTableDesc* d = SelectedTable();
    return d && d->IsPrimary(pos);
}

int TvxScriptTableList::FindIndex(std::string_view name) const
{
    const TvxTableDesc* d = SelectedTable();
    return d ? d->FindIndex(name) : -1;
}

std::string TvxScriptTableList::NewIndexName() const
{
    const TvxTableDesc* d = SelectedTable();
    return d ? d->NewIndexName() : std::string();
}

int TvxScriptTableList::AddIndex(const TvxIndexDesc& desc)
{
    TvxTableDesc* d = SelectedTable();
    return d ? d->AddIndex(desc) : vxErrIndexPosOut;
}

int TvxScriptTableList::DeleteIndex(int pos)
{
    TvxTableDesc* d = SelectedTable();
    return d ? d->DeleteIndex(pos) : vxErrIndexPosOut;
}

int TvxScriptTableList::RenameIndex(int pos, std::string_view name)
{
    TvxTableDesc* d = SelectedTable();
    return d ? d->RenameIndex(pos, name) : vxErrIndexPosOut;
}

int TvxScriptTableList::AddIndexField(int fieldNo, int pos)
{
    TvxTableDesc* d = SelectedTable();
    return d ? d->AddIndexField(fieldNo, pos) : vxErrIndexPosOut;
}

int TvxScriptTableList::RemoveIndexField(int keyPos, int pos)
{
    TvxTableDesc* d = SelectedTable();
    return d ? d->RemoveIndexField(keyPos, pos) : vxErrIndexPosOut;
}

int TvxScriptTableList::SwapIndexFields(int pos, int keyPosA, int keyPosB)
{
    TvxTableDesc* d = SelectedTable();
    return d ? d->SwapIndexFields(pos, keyPosA, keyPosB) : vxErrIndexPosOut;
}

void TvxScriptTableList::ListFieldsNotInIndex(std::vector<std::string>& strings, const TvxIndexDesc& index) const
{
    if (const TvxTableDesc* d = SelectedTable())
        d->ListFieldsNotInIndex(strings, index);
}

bool TvxScriptTableList::HasPrimaryKey() const
{
    const TvxTableDesc* d = SelectedTable();
    return d && d->HasPrimaryKey();
}

const TvxRefIntDesc* TvxScriptTableList::GetRefInt(int pos) const
{
    const TvxTableDesc* d = SelectedTable();
    return d ? d->GetRefInt(pos) : nullptr;
}

const TvxRefIntDesc* TvxScriptTableList::FindRefInt(std::string_view name) const
{
    const TvxTableDesc* d = SelectedTable();
    return d ? d->FindRefInt(name) : nullptr;
}

int TvxScriptTableList::RefIntPosByName(std::string_view name) const
{
    const TvxTableDesc* d = SelectedTable();
    return d ? d->RefIntPosByName(name) : -1;
}

bool TvxScriptTableList::RefIntExists(std::string_view name) const
{
    const TvxTableDesc* d = SelectedTable();
    return d && d->RefIntExists(name);
}

std::string TvxScriptTableList::NewRefIntName() const
{
    const TvxTableDesc* d = SelectedTable();
    return d ? d->NewRefIntName() : std::string();
}

int TvxScriptTableList::AddRefInt(const TvxRefIntDesc& desc)
{
    TvxTableDesc* d = SelectedTable();
    return d ? d->AddRefInt(desc) : vxErrRefIntNotFound;
}

bool TvxScriptTableList::DeleteRefInt(int pos)
{
    TvxTableDesc* d = SelectedTable();
    return d && d->DeleteRefInt(pos);
}

int TvxScriptTableList::RemoveRefIntField(int pos)
{
    TvxTableDesc* d = SelectedTable();
    return d ? d->RemoveRefIntField(pos) : vxErrRefIntNotFound;
}

int TvxScriptTableList::AddRefIntField(int fieldNo, int pos)
{
    TvxTableDesc* d = SelectedTable();
    return d ? d->AddRefIntField(fieldNo, pos) : vxErrRefIntNotFound;
}

int TvxScriptTableList::SetRefIntMaster(const TvxTableDesc& master, int pos)
{
    TvxTableDesc* d = SelectedTable();
    return d ? d->SetRefIntMaster(pos, master) : vxErrRefIntNotFound;
}

void TvxScriptTableList::ListRuleFields(std::vector<std::string>& strings, int pos) const
{
    if (const TvxTableDesc* d = SelectedTable())
        d->ListRuleFields(strings, pos);
}

void TvxScriptTableList::ListMasterFields(std::vector<std::string>& strings, const TvxTableDesc& master,
                                          int pos) const
{
    if (const TvxTableDesc* d = SelectedTable())
        d->ListMasterFields(strings, master, pos);
}

void TvxScriptTableList::RenameRefInt(std::string_view oldName, std::string_view newName)
{
    if (TvxTableDesc* d = SelectedTable())
        d->RenameRefInt(oldName, newName.substr(0, kRuleNameMax));
}

// ---- Over all entries ----------------------------------------------------------------------

bool TvxScriptTableList::IsRefIntMaster() const
{
    const TvxTableDesc* selected = SelectedTable();
    if (!selected)
        return false;
    // A rule copied from the source names its master's file as the disk has it ("two.db"), one
    // made here as the new table is named ("two.DB"): letter case makes no other table.
    const std::string fileName = selected->FileName();
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) {
        for (int i = 0; i < e.desc->RefIntCount(); ++i)
            if (SameText(e.desc->GetRefInt(i)->otherTable(), fileName))
                return true;
        return false;
    });
}

bool TvxScriptTableList::AllTablesHaveIndexFields() const
{
    return std::all_of(entries_.begin(), entries_.end(), [](const Entry& e) { return e.desc->AllIndexesHaveFields(); });
}

bool TvxScriptTableList::AllTablesRefIntsComplete() const
{
    return std::all_of(entries_.begin(), entries_.end(), [](const Entry& e) { return e.desc->AllRefIntsComplete(); });
}

void TvxScriptTableList::ListNextRuleFields(std::vector<std::string>& strings, int pos) const
{
    const TvxTableDesc* selected = SelectedTable();
    if (!selected)
        return;
    const TvxRefIntDesc* rule = selected->GetRefInt(pos);
    if (!rule)
        return;
    const std::string other = rule->otherTable();
    const TvxTableDesc* master = TableByName(std::string_view(other).substr(0, other.find('.')));
    if (!master)
        return;
    const int filled = selected->RefIntFilledCount(pos);
    const TvxIndexDesc* key = master->GetIndex(0);
    const int keyCount = key ? key->keyFieldCount() : 0;
    const TvxFieldDesc* masterField = master->GetField(filled);
    if (keyCount == filled || !masterField) {
        strings.clear();
        return;
    }
    selected->ListCompatibleFields(strings, pos, *masterField);
}

// ---- Streaming -----------------------------------------------------------------------------

void TvxScriptTableList::WriteAllStructures(TvxStream& stream) const
{
    TWriter writer(stream, kBufferSize);
    writer.PutInteger(Count());
    for (const Entry& e : entries_)
        e.desc->WriteStructure(writer);
    writer.Flush();
}

void TvxScriptTableList::WriteAllDescriptors(TvxStream& stream) const
{
    TWriter writer(stream, kBufferSize);
    writer.PutInteger(Count());
    for (const Entry& e : entries_)
        e.desc->WriteDescriptors(writer);
    writer.Flush();
}

bool TvxScriptTableList::ReadAllDescriptors(TvxStream& stream)
{
    TReader reader(stream, kBufferSize);
    if (reader.GetInteger() != Count())
        return false;
    // Read every record into a copy first: a damaged file changes no table at all.
    std::vector<TvxTableDesc> read;
    read.reserve(entries_.size());
    for (const Entry& e : entries_) {
        read.push_back(*e.desc);
        read.back().ReadDescriptors(reader);
    }
    for (std::size_t i = 0; i < entries_.size(); ++i)
        *entries_[i].desc = std::move(read[i]);
    return true;
}

} // namespace morvane
