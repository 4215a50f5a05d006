#pragma once
// TvxRefIntRel: the display items of the relation drawn while a rule is edited: the labels of
// this table's fields, the labels of the master's fields and the connectors between them.
// Owns its items by value; holds no rule data. The editor turns the items into widgets.

#include <string>
#include <vector>

namespace morvane {

struct TvxRefIntRelItem
{
    std::string caption;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool rightJustified = false;
};

class TvxRefIntRel
{
public:
    std::vector<TvxRefIntRelItem>& ThisLabels() { return thisLabels_; }
    const std::vector<TvxRefIntRelItem>& ThisLabels() const { return thisLabels_; }
    std::vector<TvxRefIntRelItem>& MasterLabels() { return masterLabels_; }
    const std::vector<TvxRefIntRelItem>& MasterLabels() const { return masterLabels_; }
    std::vector<TvxRefIntRelItem>& Connectors() { return connectors_; }
    const std::vector<TvxRefIntRelItem>& Connectors() const { return connectors_; }

    // Frees every item of the three lists.
    void Reset();

private:
    std::vector<TvxRefIntRelItem> thisLabels_;
    std::vector<TvxRefIntRelItem> masterLabels_;
    std::vector<TvxRefIntRelItem> connectors_;
};

} // namespace morvane
