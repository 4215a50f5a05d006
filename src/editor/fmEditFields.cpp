#include "editor/fmEditFields.h"

#include "model/vxFieldTypes.h"
#include "views/vxRecordText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdint>

namespace morvane {

TFormEditField::TFormEditField(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormEditField"));
    setWindowTitle(QStringLiteral("Field edit"));
    setFixedSize(320, 111);

    EditName = new QLineEdit(this);
    EditName->setObjectName(QStringLiteral("EditName"));
    LabelName = new QLabel(QStringLiteral("&Name"), this);
    LabelName->setBuddy(EditName);
    ComboType = new QComboBox(this);
    ComboType->setObjectName(QStringLiteral("ComboType"));
    LabelType = new QLabel(QStringLiteral("&Type"), this);
    LabelType->setBuddy(ComboType);
    EditSize = new QLineEdit(this);
    EditSize->setObjectName(QStringLiteral("EditSize"));
    LabelSize = new QLabel(QStringLiteral("&Size"), this);
    LabelSize->setObjectName(QStringLiteral("LabelSize"));
    LabelSize->setBuddy(EditSize);
    lbRange = new QLabel(this);
    lbRange->setObjectName(QStringLiteral("lbRange"));
    EditDefault = new QLineEdit(this);
    EditDefault->setObjectName(QStringLiteral("EditDefault"));
    LabelDefault = new QLabel(QStringLiteral("Default"), this);
    LabelDefault->setBuddy(EditDefault);
    BtnOk = new QPushButton(QStringLiteral("OK"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->addWidget(LabelName, 0, 0);
    grid->addWidget(EditName, 0, 1, 1, 2);
    grid->addWidget(BtnOk, 0, 3);
    grid->addWidget(LabelType, 1, 0);
    grid->addWidget(ComboType, 1, 1, 1, 2);
    grid->addWidget(BtnCancel, 1, 3);
    grid->addWidget(LabelSize, 2, 0);
    grid->addWidget(EditSize, 2, 1);
    grid->addWidget(lbRange, 2, 2);
    grid->addWidget(LabelDefault, 3, 0);
    grid->addWidget(EditDefault, 3, 1, 1, 2);

    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ComboType, &QComboBox::currentIndexChanged, this, &TFormEditField::ComboTypeChange);
}

void TFormEditField::FillTypes(const std::vector<TvxFieldTypeRec>& fieldTypes)
{
    types_ = fieldTypes;
    const QSignalBlocker block(ComboType);
    ComboType->clear();
    for (const auto& type : types_)
        ComboType->addItem(RecordTextToQString(type.name()));
    ComboType->setCurrentIndex(-1);
}

const TvxFieldTypeRec* TFormEditField::SelectedType() const
{
    const int index = ComboType->currentIndex();
    if (index < 0 || index >= static_cast<int>(types_.size()))
        return nullptr;
    return &types_[static_cast<std::size_t>(index)];
}

int TFormEditField::SizeValue() const
{
    bool ok = false;
    const int value = EditSize->text().toInt(&ok);
    return ok ? value : 0;
}

void TFormEditField::ComboTypeChange()
{
    const TvxFieldTypeRec* type = SelectedType();
    const bool sized = type && TypeNeedsSize(type->typeCode());
    EditSize->setEnabled(sized);
    LabelSize->setEnabled(sized);
    EditSize->clear();
    lbRange->clear();
    if (!sized)
        return;
    int low = 0;
    int high = 0;
    if (SizeRange(low, high))
        lbRange->setText(QStringLiteral("%1 - %2").arg(low).arg(high));
    ProposeSizeInRange();
}

bool TFormEditField::SizeRange(int& low, int& high) const
{
    const TvxFieldTypeRec* type = SelectedType();
    if (!type || !TypeNeedsSize(type->typeCode()))
        return false;
    if (type->minUnits1() == type->maxUnits1()) {
        low = type->minUnits2();
        high = type->maxUnits2();
        return true;
    }
    if (type->minUnits2() == type->maxUnits2()) {
        low = type->minUnits1();
        high = type->maxUnits1();
        return true;
    }
    return false;
}

bool TFormEditField::InputAcceptable() const
{
    const TvxFieldTypeRec* type = SelectedType();
    // No type chosen: nothing to build the field from. No name: no field a table can hold.
    if (!type || EditName->text().isEmpty())
        return false;
    if (!TypeNeedsSize(type->typeCode()))
        return true;
    int low = 0;
    int high = 0;
    if (!SizeRange(low, high))
        return false;
    const auto size = static_cast<std::uint16_t>(SizeValue());
    return size >= static_cast<std::uint16_t>(low) && size <= static_cast<std::uint16_t>(high);
}

void TFormEditField::ProposeSizeInRange()
{
    int low = 0;
    int high = 0;
    if (!SizeRange(low, high))
        return;
    bool ok = false;
    const int size = EditSize->text().toInt(&ok);
    if (!ok || size < low || size > high)
        EditSize->setText(QString::number(ok && size > high ? high : low));
}

bool TFormEditField::FormCloseQuery(int result) const
{
    return result != QDialog::Accepted || InputAcceptable();
}

void TFormEditField::done(int result)
{
    if (!FormCloseQuery(result))
        return;
    QDialog::done(result);
}

int TFormEditField::EditField(TvxFieldDesc& field, QString& defaultValue,
                              const std::vector<TvxFieldTypeRec>& fieldTypes)
{
    FillTypes(fieldTypes);
    EditName->setText(RecordTextToQString(field.name()));
    for (std::size_t i = 0; i < types_.size(); ++i)
        if (types_[i].typeCode() == field.type()) {
            const QSignalBlocker block(ComboType);
            ComboType->setCurrentIndex(static_cast<int>(i));
            break;
        }
    ComboTypeChange();
    EditSize->setText(QString::number(field.type() == fldBcd ? field.units2() : field.units1()));
    // A new field's size 0 lies outside every range: the dialog proposes one inside it.
    ProposeSizeInRange();
    EditDefault->setText(defaultValue);

    const int result = exec();
    if (result != QDialog::Accepted)
        return result;
    const TvxFieldTypeRec* type = SelectedType();
    field.setName(QStringToRecordText(EditName->text()));
    if (type)
        field.setType(type->typeCode());
    const auto size = static_cast<std::int16_t>(SizeValue());
    if (field.type() == fldBcd)
        field.setUnits2(size);
    else
        field.setUnits1(size);
    if (!EditDefault->text().isEmpty())
        defaultValue = EditDefault->text();
    return result;
}

TFormEditFieldPOR::TFormEditFieldPOR(QWidget* parent) : TFormEditField(parent)
{
    setObjectName(QStringLiteral("FormEditFieldPOR"));
    setWindowTitle(QStringLiteral("Edição de campos"));
    LabelName->setText(QStringLiteral("&Nome"));
    LabelType->setText(QStringLiteral("&Tipo"));
    LabelSize->setText(QStringLiteral("&Comprim."));
    LabelDefault->setText(QStringLiteral("Default"));
    BtnCancel->setText(QStringLiteral("Cancelar"));
}

} // namespace morvane
