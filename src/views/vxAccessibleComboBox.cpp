#include "views/vxAccessibleComboBox.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace morvane {

namespace {

class TvxAccessibleComboBox : public QAccessibleWidget
{
public:
    explicit TvxAccessibleComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }

    int childCount() const override { return Box()->isEditable() && Box()->lineEdit() ? 2 : 1; }

    QAccessibleInterface* child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(Box()->view());
        if (index == 1 && Box()->isEditable() && Box()->lineEdit())
            return QAccessible::queryAccessibleInterface(Box()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        if (child->object() == Box()->view())
            return 0;
        if (Box()->isEditable() && child->object() == Box()->lineEdit())
            return 1;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        if (Box()->isEditable() && Box()->lineEdit() && Box()->lineEdit()->isVisible()) {
            const QPoint local = Box()->lineEdit()->mapFromGlobal(QPoint(x, y));
            if (Box()->lineEdit()->rect().contains(local))
                return child(1);
        }
        return nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return Box()->isEditable() && Box()->lineEdit() ? Box()->lineEdit()->text() : Box()->currentText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = Box()->view()->isVisible();
        s.editable = Box()->isEditable();
        return s;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    void doAction(const QString& actionName) override
    {
        if (actionName == showMenuAction() || actionName == pressAction()) {
            if (Box()->view()->isVisible())
                Box()->hidePopup();
            else
                Box()->showPopup();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }
};

QAccessibleInterface* ComboBoxFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QComboBox") && object && object->isWidgetType())
        if (auto* box = qobject_cast<QComboBox*>(object))
            return new TvxAccessibleComboBox(box);
    return nullptr;
}

} // namespace

void vxInstallAccessibleComboBox()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(ComboBoxFactory);
}

} // namespace morvane
