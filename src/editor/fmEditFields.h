#pragma once
// The field dialog: name, type (from the driver's field-type list), size and default value of
// one field record. EditField fills it from the record, shows it modally and, after OK, writes
// the record and the default value back. OK closes only with a type chosen, a name given and
// a size within the type's range.

#include <QDialog>

#include <vector>

#include "model/TvxFieldDesc.h"
#include "model/TvxFieldTypeRec.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvane {

class TFormEditField : public QDialog
{
    Q_OBJECT

public:
    explicit TFormEditField(QWidget* parent = nullptr);

    // The modal result (QDialog::Accepted or Rejected).
    int EditField(TvxFieldDesc& field, QString& defaultValue, const std::vector<TvxFieldTypeRec>& fieldTypes);

    // Whether the dialog may close with OK: a type is chosen, a name given and, for a type that
    // takes a size, the size (0 when not a number) lies within its range.
    bool InputAcceptable() const;
    // The close question: OK closes only on acceptable input, anything else always closes.
    bool FormCloseQuery(int result) const;

    QLineEdit* EditName = nullptr;
    QComboBox* ComboType = nullptr;
    QLineEdit* EditSize = nullptr;
    QLabel* LabelSize = nullptr;
    QLabel* lbRange = nullptr;
    QLineEdit* EditDefault = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;

public slots:
    void ComboTypeChange();
    void done(int result) override;

protected:
    void FillTypes(const std::vector<TvxFieldTypeRec>& fieldTypes);
    const TvxFieldTypeRec* SelectedType() const;
    int SizeValue() const;
    // The size range the chosen type shows; false when it takes no size.
    bool SizeRange(int& low, int& high) const;
    // A size outside the range (or none) becomes the nearest bound.
    void ProposeSizeInRange();

    QLabel* LabelName = nullptr;
    QLabel* LabelType = nullptr;
    QLabel* LabelDefault = nullptr;
    std::vector<TvxFieldTypeRec> types_;
};

class TFormEditFieldPOR : public TFormEditField
{
    Q_OBJECT

public:
    explicit TFormEditFieldPOR(QWidget* parent = nullptr);
};

} // namespace morvane
