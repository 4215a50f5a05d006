#pragma once
// TvxFieldRenames: the fields a comparison takes as renamed rather than dropped and created, so
// that the script carries their values: per table, the field's name in the source database and
// its name in the wanted one. Table and field names compare as the builder compares them
// (upper-case equal).

#include <string>
#include <string_view>
#include <vector>

namespace morvane {

struct TvxFieldRename
{
    std::string table;
    std::string oldName;
    std::string newName;
};

class TvxFieldRenames
{
public:
    // "TABLE.OLD=NEW": the table up to the first ".", the old name up to the first "=" after it,
    // the new name the rest (field names may hold a "."). Throws EvxDifferenceError for any
    // other form, an empty part, or a field renamed twice in one table.
    void Add(std::string_view spec);
    void Add(TvxFieldRename rename);

    const std::vector<TvxFieldRename>& All() const { return renames_; }
    std::vector<TvxFieldRename>& All() { return renames_; }
    // The renames of one table.
    std::vector<TvxFieldRename> Of(std::string_view table) const;

private:
    std::vector<TvxFieldRename> renames_;
};

} // namespace morvane
