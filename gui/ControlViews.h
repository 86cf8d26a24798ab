#pragma once
// One Qt widget per control of the kit, bound to its model: the view renders the model's
// properties (texts, caption, visibility, enabled state, tab stop, place and size in twips)
// and re-renders when the model raises propertyChanged; what the user does goes back as the
// model's own operations (enterText, select, click, press). Focus and keys are not handled
// here: the FormWindow routes them through the Form, which may refuse a focus move.

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gui/Support.h"
#include "kit/Kit.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class QWidget;

namespace gui {

class QueryGridModel;
class TableGridLayout;

class ControlView : public QObject {
    Q_OBJECT
public:
    ControlView(std::shared_ptr<kit::Control> control, QWidget* widget);
    ~ControlView() override;

    kit::Control& control() const { return *control_; }
    // The widget placed on the form (nullptr for controls with no face, e.g. the resizer).
    QWidget* widget() const { return widget_; }
    // The widget that takes the keyboard focus (nullptr when the control never has it).
    virtual QWidget* focusWidget() const { return nullptr; }
    // Widgets whose focus and keys the window routes through the form.
    virtual QList<QWidget*> inputWidgets() const;
    // The kit key of a key pressed in this view, or nothing to let the widget handle it.
    virtual std::optional<KitKey> mapKey(const QKeyEvent& event) const { return formKey(event); }
    // The focus arrived in or left the view (the window tells it after the form agreed).
    virtual void focusChanged(bool /*focused*/) {}

    // Renders every property.
    void renderAll();

    // How an action that needs the focus first (a button press, a grid click, a navigator
    // button, the key-button menu) gets it: the window installs a gate that asks the form
    // and runs the action only when the form agreed. Without a gate the control's own
    // SetFocus decides.
    using FocusGate = std::function<void(ControlView&, const std::function<void()>&)>;
    void setFocusGate(FocusGate gate) { gate_ = std::move(gate); }
    void runWithFocus(const std::function<void()>& action);

protected:
    // Renders one property ("" = all). Overrides call the base for the common ones.
    virtual void render(const std::string& property);
    void renderGeometry();

    std::shared_ptr<kit::Control> control_;
    QPointer<QWidget> widget_;

private:
    int subscription_ = 0;
    FocusGate gate_;
};

// CodeEditBox, CoinAccountBox and LedgerAccountBox: a line edit, and for the first two a
// small button with the key-button menu. F4 or F9 opens the lookup.
class TextBoxView : public ControlView {
    Q_OBJECT
public:
    explicit TextBoxView(std::shared_ptr<kit::Control> control);
    QWidget* focusWidget() const override;
    QList<QWidget*> inputWidgets() const override;
    void focusChanged(bool focused) override;
    QLineEdit* lineEdit() const { return edit_; }
    QToolButton* menuButton() const { return menuButton_; }
    // The entries of the key-button menu (key, caption, enabled); empty for a ledger box.
    std::vector<kit::MenuEntry> menuEntries() const;
    void pressMenuKey(const std::string& key);

protected:
    void render(const std::string& property) override;

private:
    std::string shownText() const;
    void showMenu();
    QLineEdit* edit_ = nullptr;
    QToolButton* menuButton_ = nullptr;
};

class LabelView : public ControlView {
    Q_OBJECT
public:
    explicit LabelView(std::shared_ptr<kit::Control> control);

protected:
    void render(const std::string& property) override;

private:
    QLabel* label_;
};

class ButtonView : public ControlView {
    Q_OBJECT
public:
    explicit ButtonView(std::shared_ptr<kit::MenuButton> button);
    QWidget* focusWidget() const override;
    std::optional<KitKey> mapKey(const QKeyEvent& event) const override;
    QPushButton* button() const { return button_; }
    // The caption the module set (its own '&' included).
    QString caption() const;
    // The letter the window chose for the button's Alt shortcut; the Qt text underlines it.
    void setMnemonic(QChar letter);

signals:
    void captionChanged();

protected:
    void render(const std::string& property) override;

private:
    QPushButton* button_;
    QChar mnemonic_;
};

class ComboView : public ControlView {
    Q_OBJECT
public:
    explicit ComboView(std::shared_ptr<kit::ListCombo> combo);
    QWidget* focusWidget() const override;
    std::optional<KitKey> mapKey(const QKeyEvent& event) const override;
    QComboBox* combo() const { return box_; }

protected:
    void render(const std::string& property) override;

private:
    QComboBox* box_;
    bool filling_ = false;
};

// A group frame: its children's widgets are placed inside it.
class FrameView : public ControlView {
    Q_OBJECT
public:
    explicit FrameView(std::shared_ptr<kit::GroupFrame> frame);

protected:
    void render(const std::string& property) override;
};

class ImageView : public ControlView {
    Q_OBJECT
public:
    explicit ImageView(std::shared_ptr<kit::ImageBox> image);

protected:
    void render(const std::string& property) override;
};

// The grid: a QTableView over a QueryGridModel, with a fixed row height and the current row
// following the recordset. A click selects through QueryGrid::clickRow (and sets the grid's
// Col). While the view lives the grid reports the table's real geometry (TableGridLayout).
class GridView : public ControlView {
    Q_OBJECT
public:
    explicit GridView(std::shared_ptr<kit::QueryGrid> grid);
    ~GridView() override;
    QWidget* focusWidget() const override;
    QList<QWidget*> inputWidgets() const override;
    // Shift+Up/Down extend the view's selection; the other keys go to the form.
    std::optional<KitKey> mapKey(const QKeyEvent& event) const override;
    QTableView* table() const { return table_; }
    QueryGridModel* model() const { return model_; }
    TableGridLayout* geometry() const { return geometry_; }
    // A click on a model row (and table column, -1 for none): the form's focus first, then
    // the grid's Col and row move (the row may be refused).
    void clickRow(int row, int tableColumn = -1);
    // The same move to a recordset row, also one the model's filter hides; true when the
    // recordset is there afterwards.
    bool moveToRow(long recordsetRow, int tableColumn = -1);
    // The recordset rows selected in the view, ascending. Ctrl+click, Shift+click and
    // Shift+Up/Down select rows without moving the grid's current row; a move of the current
    // row selects that row alone again.
    std::vector<long> selectedRecordsetRows() const;

protected:
    void render(const std::string& property) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCurrentRow(int row);
    void applyColumnWidths();
    QTableView* table_;
    // The table's viewport, watched for clicks. Held apart from the table: the viewport still
    // gets events while the table is being destroyed, when the table is no longer a QTableView.
    QPointer<QWidget> viewport_;
    QueryGridModel* model_;
    TableGridLayout* geometry_;
};

// The navigator bar: first, previous, next, last, open and new.
class NavigatorView : public ControlView {
    Q_OBJECT
public:
    explicit NavigatorView(std::shared_ptr<kit::GridNavigator> navigator);
    QWidget* focusWidget() const override { return widget_; }
    QToolButton* button(const std::string& name) const;
    const std::vector<std::pair<std::string, QToolButton*>>& buttons() const { return buttons_; }

private:
    std::vector<std::pair<std::string, QToolButton*>> buttons_;
};

// Controls with no face of their own (the resizer, the MDI host box).
class HiddenView : public ControlView {
    Q_OBJECT
public:
    explicit HiddenView(std::shared_ptr<kit::Control> control);

protected:
    void render(const std::string&) override {}
};

// The view for a control of any kit type. It renders nothing until renderAll(), so that the
// caller can place its widget first (a shown widget without a parent would become a window).
std::unique_ptr<ControlView> makeView(const std::shared_ptr<kit::Control>& control);

}  // namespace gui
