#include "editor/TvxRelationView.h"

#include "model/TvxRefIntRel.h"

#include <QLabel>
#include <QWidget>

#include <algorithm>

namespace morvane {

TvxRelationView::TvxRelationView(QWidget* drawing) : drawing_(drawing) {}

TvxRelationView::~TvxRelationView()
{
    Clear();
}

void TvxRelationView::Clear()
{
    for (const QPointer<QLabel>& label : labels_)
        delete label.data();
    labels_.clear();
}

void TvxRelationView::Show(const TvxRefIntRel& relation)
{
    Clear();
    if (!drawing_)
        return;
    int right = 0;
    int bottom = 0;
    for (const auto* items : {&relation.ThisLabels(), &relation.MasterLabels(), &relation.Connectors()}) {
        for (const TvxRefIntRelItem& item : *items) {
            auto* label = new QLabel(QString::fromStdString(item.caption), drawing_);
            label->setAlignment((item.rightJustified ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            // Labels take the window colour, not the colour of what they sit on.
            label->setBackgroundRole(QPalette::Window);
            label->setAutoFillBackground(true);
            label->setGeometry(item.left, item.top, item.width, item.height);
            label->show();
            labels_.emplace_back(label);
            right = std::max(right, item.left + item.width);
            bottom = std::max(bottom, item.top + item.height);
        }
    }
    drawing_->setMinimumSize(std::max(right + 10, 160), std::max(bottom + 10, 130));
    drawing_->resize(drawing_->minimumSize());
}

std::vector<QLabel*> TvxRelationView::Labels() const
{
    std::vector<QLabel*> out;
    for (const QPointer<QLabel>& label : labels_)
        if (label)
            out.push_back(label.data());
    return out;
}

} // namespace morvane
