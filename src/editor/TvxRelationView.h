#pragma once
// TvxRelationView: shows the items of a relation drawing (TvxRefIntRel: this table's field
// labels, the master's field labels, the "<------>" connectors) as labels on a drawing widget.
// Each Show replaces every label shown before; the widgets live as children of the drawing.

#include <QPointer>

#include <vector>

class QLabel;
class QWidget;

namespace morvane {

class TvxRefIntRel;

class TvxRelationView
{
public:
    // drawing outlives the view or is destroyed with the labels it holds.
    explicit TvxRelationView(QWidget* drawing);
    ~TvxRelationView();
    TvxRelationView(const TvxRelationView&) = delete;
    TvxRelationView& operator=(const TvxRelationView&) = delete;

    // One label per item of the three lists, at the item's place; the drawing grows to hold them.
    void Show(const TvxRefIntRel& relation);
    // The labels shown now, this side first, then the master side, then the connectors.
    std::vector<QLabel*> Labels() const;

private:
    void Clear();

    QPointer<QWidget> drawing_;
    std::vector<QPointer<QLabel>> labels_;
};

} // namespace morvane
