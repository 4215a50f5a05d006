#pragma once
// The descriptor's record arrays: each holds exactly the records in use (new ones zeroed), its
// count kept beside it in the cursor-properties record. Internal to the model.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace morvane::records {

// Records in use: the recorded count, never more than the array holds.
template <class T> int UsedCount(const std::vector<T>& records, int recorded)
{
    return std::clamp(recorded, 0, static_cast<int>(records.size()));
}

// Resizes to n records (new ones zeroed) and gives memory back when the array shrank a lot.
template <class T> void Resize(std::vector<T>& records, int n)
{
    records.resize(static_cast<std::size_t>(n));
    if (records.capacity() > 2 * records.size() + 4)
        records.shrink_to_fit();
}

// Replaces the array, keeping at most max records.
template <class T> void Replace(std::vector<T>& target, std::vector<T> source, int max)
{
    if (source.size() > static_cast<std::size_t>(max))
        source.resize(static_cast<std::size_t>(max));
    source.shrink_to_fit();
    target = std::move(source);
}

// Puts record at pos (pos past the end appends) among the count records in use; the new count.
template <class T> int Insert(std::vector<T>& records, int count, int pos, const T& record)
{
    records.resize(static_cast<std::size_t>(count));
    records.insert(records.begin() + std::clamp(pos, 0, count), record);
    return count + 1;
}

// Removes the record at pos (0 <= pos < count); the following ones move down. The new count.
template <class T> int Erase(std::vector<T>& records, int count, int pos)
{
    records.resize(static_cast<std::size_t>(count));
    records.erase(records.begin() + pos);
    return count - 1;
}

} // namespace morvane::records
