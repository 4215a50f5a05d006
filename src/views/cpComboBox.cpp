#include "views/cpComboBox.h"

#include <QAbstractItemView>
#include <QEvent>

namespace morvane {

TvxCombobox::TvxCombobox(QWidget* parent) : QComboBox(parent)
{
}

void TvxCombobox::showPopup()
{
    QComboBox::showPopup();
    // The list's window closes on its own when the user clicks elsewhere, without going
    // through hidePopup: watch its hide events too.
    QWidget* popup = view() ? view()->window() : nullptr;
    if (popup && popup != window() && popup != watchedPopup_) {
        if (watchedPopup_)
            watchedPopup_->removeEventFilter(this);
        watchedPopup_ = popup;
        watchedPopup_->installEventFilter(this);
    }
    popupOpen_ = popup && popup->isVisible();
}

void TvxCombobox::hidePopup()
{
    QComboBox::hidePopup();
    if (!watchedPopup_ || !watchedPopup_->isVisible())
        FinishCloseUp();
}

bool TvxCombobox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == watchedPopup_ && event->type() == QEvent::Hide)
        FinishCloseUp();
    return QComboBox::eventFilter(watched, event);
}

void TvxCombobox::FinishCloseUp()
{
    if (!popupOpen_)
        return;
    popupOpen_ = false;
    CloseUp();
}

void TvxCombobox::CloseUp()
{
    emit OnCloseUp(this);
}

} // namespace morvane
