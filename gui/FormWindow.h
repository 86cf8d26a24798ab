#pragma once
// The Qt window of a kit::Form: builds a view per control, follows the form's caption,
// visibility, size and focus, and routes the user's focus moves and keys through the form so
// that a Validate or LostFocus that cancels keeps the cursor where it was.

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/ControlViews.h"
#include "kit/Form.h"

class QMenu;
class QAction;
class QMenuBar;
class QStatusBar;
class QToolBar;

namespace gui {

class FocusRing;
class GridView;
class WindowMnemonics;

class FormWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(kit::Form& form, QWidget* parent = nullptr);
    ~FormWindow() override;

    // nullptr once the form closed.
    kit::Form* form() const { return form_; }
    // The form closed: the window stops listening to it and never touches it again.
    void detach();

    ControlView* view(const std::string& controlName) const;
    template <class V>
    V* viewAs(const std::string& controlName) const {
        return dynamic_cast<V*>(view(controlName));
    }
    // The widget placed for a control (nullptr for an unknown name or a faceless control).
    QWidget* widgetOf(const std::string& controlName) const;
    const std::vector<std::unique_ptr<ControlView>>& views() const { return views_; }

    // Moves the window over the middle of `over` (of the screen when nullptr), then by
    // `offset`, keeping it on the screen.
    void centreOver(const QWidget* over, QPoint offset = {});
    // The form's host box placed the window (the host chose where it goes).
    bool placedByHost() const { return placedByHost_; }

    // Gives the Qt focus to the widget of the control the form has focused.
    void syncFocus();
    // Tells the form the size its window has (before its resizer starts).
    void syncFormSize();
    // The window was shown and the form activated for the first time: the first tab stop
    // gets the focus when the form gave it to nobody.
    void shown();

    // The window's menu bar and toolbar, for commands the shell adds to a form's window, made
    // on first use above the controls. After adding to them call updateChrome: the bars take
    // the height their contents need and the window grows by it, so the form keeps its area.
    QMenuBar* menuBar();
    QToolBar* toolBar();
    // The window's status bar, made on first use below the controls (the window grows by its
    // height, so the form keeps its area).
    QStatusBar* statusBar();
    // The menu bar's menu with this title, added when there is none yet.
    QMenu* menu(const QString& title);
    void updateChrome();
    // The widget the controls sit in (the window below its bars).
    QWidget* body() const { return body_; }
    // A panel beside the controls, on the right, as wide as the panel's own width; showing or
    // hiding it widens or narrows the window by that much, so the form keeps its area.
    void setSidePanel(QWidget* panel);
    void setSidePanelVisible(bool visible);
    bool sidePanelVisible() const;
    // "Tasti…" (F1): the page of the keyboard shortcuts, for a "?" menu of the window.
    QAction* keysAction() const { return keysAction_; }
    FocusRing* focusRing() const { return focusRing_; }

signals:
    // The user asked to close the window and the form agreed, or the form closed itself.
    void formClosed();
    // The window became the active one.
    void activated();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void renderForm(const std::string& property);
    void placeFromHostBox();
    // Height of the bars above and below the controls, and their placement.
    int chromeHeight() const;
    int sideWidth() const;
    void layoutChrome();
    // Resizes the window so that the controls' area gets `size`.
    void resizeBody(const QSize& size);
    // The form's size once the side panel shows, so that the window stays on its screen.
    QSize bodyBesidePanel(const QSize& body) const;
    void applyMinimumSize();
    // The form (through its resizer once started) takes the size of the controls' area.
    void formFollowsBody();
    ControlView* viewOfWidget(QObject* w) const;
    ControlView* viewOfControl(const kit::Control* c) const;
    // The user moved the Qt focus into `view`: ask the form; a refusal puts it back.
    void requestFocus(ControlView& view);
    void focusThen(ControlView& view, const std::function<void()>& action);
    bool handleKey(ControlView& view, const KitKey& key);
    // Canc in the grid and Esc in an account box (see EditingKeys); true when handled.
    bool handleEditingKey(ControlView& view, const QKeyEvent& event);
    kit::FormResizer* resizer() const;

    kit::Form* form_;
    QWidget* body_;
    QMenuBar* menuBar_ = nullptr;
    QPointer<QWidget> sidePanel_;
    QToolBar* toolBar_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QAction* keysAction_ = nullptr;
    FocusRing* focusRing_ = nullptr;
    WindowMnemonics* mnemonics_ = nullptr;
    std::vector<std::unique_ptr<ControlView>> views_;
    int propertyId_ = 0, focusId_ = 0;
    int busy_ = 0;          // > 0 while the form handles a focus move or a key
    bool syncing_ = false;  // the window itself moves the Qt focus
    bool skipActivation_ = true;
    bool placedByHost_ = false;
    struct Placement {
        QPointer<const QWidget> over;
        QPoint offset;
        QPoint at;   // where the window went
    };
    std::optional<Placement> placement_;
    ControlView* lastFocusView_ = nullptr;
};

}  // namespace gui
