#pragma once
// A frame drawn round the button or list that has the keyboard focus in a window, in the
// palette's highlight colour and wide enough to be seen under any style (Fusion draws the
// focus of a button as a faint outline). It takes no clicks and follows the focused widget
// as it moves, resizes or hides.

#include <QPointer>
#include <QWidget>

namespace gui {

class FocusRing : public QWidget {
    Q_OBJECT
public:
    explicit FocusRing(QWidget* window);
    // The widget framed now (nullptr when none).
    QWidget* target() const { return target_; }
    static constexpr int kWidth = 2;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QWidget* focused);
    void place();
    QPointer<QWidget> target_;
};

}  // namespace gui
