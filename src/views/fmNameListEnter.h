#pragma once
// TFormNameListEnter: the name-entry dialog with a labelled, sorted drop-down list under the
// edit (no free text in the list). Only the name is read back; the list's choice is offered,
// not returned.

#include "views/fmNameEnter.h"

#include <QStringList>

class QComboBox;

namespace morvane {

class TFormNameListEnter : public TFormNameEnter
{
    Q_OBJECT

public:
    // The list shows a sorted copy of Items.
    TFormNameListEnter(QWidget* Owner, const QStringList& Items, const QString& ListCaption,
                       const QString& LabelCaption, const QString& FormCaption);

    QLabel* LabelList = nullptr;
    QComboBox* List = nullptr;
};

} // namespace morvane
