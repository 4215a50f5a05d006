#pragma once
// TvxCombobox: a drop-down list that reports, once per close, when its list has closed.

#include <QComboBox>

namespace morvane {

class TvxCombobox : public QComboBox
{
    Q_OBJECT
public:
    explicit TvxCombobox(QWidget* parent = nullptr);

    void showPopup() override;
    void hidePopup() override;

signals:
    // Fired once each time the drop-down list closes, however it was closed.
    void OnCloseUp(QObject* sender);

protected:
    virtual void CloseUp();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FinishCloseUp();

    bool popupOpen_ = false;
    QWidget* watchedPopup_ = nullptr;
};

} // namespace morvane
