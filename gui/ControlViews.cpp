#include "gui/ControlViews.h"

#include <QComboBox>
#include <algorithm>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPolygonF>
#include <QPushButton>
#include <QTableView>
#include <QStyle>
#include <QToolButton>

#include "gui/Mnemonics.h"
#include "gui/QueryGridModel.h"
#include "gui/TableGridLayout.h"

namespace gui {

namespace {

const char* const kLookupHint = "F4 o F9: ricerca";
const char* const kSearchHint = "Invio: va alla riga del conto digitato; Esc: svuota la casella";
const char* const kRestoreHint = "Esc: rimette il conto memorizzato; Ctrl+Z: annulla la digitazione";

}  // namespace

// ---------------- ControlView ----------------

ControlView::ControlView(std::shared_ptr<kit::Control> control, QWidget* widget)
    : control_(std::move(control)), widget_(widget) {
    if (widget_) widget_->setObjectName(qs(control_->name()));
    subscription_ = control_->propertyChanged.connect([this](const std::string& p) { render(p); });
}

ControlView::~ControlView() { control_->propertyChanged.disconnect(subscription_); }

QList<QWidget*> ControlView::inputWidgets() const {
    QList<QWidget*> list;
    if (QWidget* w = focusWidget()) list << w;
    return list;
}

void ControlView::renderAll() { render(""); }

void ControlView::runWithFocus(const std::function<void()>& action) {
    if (gate_) {
        gate_(*this, action);
        return;
    }
    if (!control_->focusable() || control_->hasFocus() || !control_->canFocus() || control_->SetFocus()) action();
}

void ControlView::renderGeometry() {
    if (!widget_) return;
    const auto& c = *control_;
    QSize hint = widget_->sizeHint();
    int w = c.Width() > 0 ? twipsToPixels(c.Width()) : hint.width();
    int h = c.Height() > 0 ? twipsToPixels(c.Height()) : hint.height();
    widget_->setGeometry(twipsToPixels(c.Left()), twipsToPixels(c.Top()), std::max(w, 1), std::max(h, 1));
}

void ControlView::render(const std::string& p) {
    if (!widget_) return;
    const auto& c = *control_;
    const bool all = p.empty();
    if (all || p == "Visible") widget_->setVisible(c.Visible());
    if (all || p == "Enabled") widget_->setEnabled(c.Enabled());
    if (all || p == "Left" || p == "Top" || p == "Width" || p == "Height") renderGeometry();
    if (all || p == "TabStop") {
        // The form keeps the tab order itself; the policy only shows which controls are stops.
        if (QWidget* f = focusWidget()) f->setFocusPolicy(c.TabStop() ? Qt::StrongFocus : Qt::ClickFocus);
        widget_->setProperty("tabStop", c.TabStop());
    }
}

// ---------------- TextBoxView ----------------

TextBoxView::TextBoxView(std::shared_ptr<kit::Control> control) : ControlView(std::move(control), new QWidget) {
    auto* layout = new QHBoxLayout(widget_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    edit_ = new QLineEdit(widget_);
    edit_->setObjectName(qs(control_->name() + ".edit"));
    // The box takes the height its placement gives it, even below the style's minimum.
    edit_->setMinimumHeight(1);
    layout->addWidget(edit_, 1);
    widget_->setFocusProxy(edit_);
    QObject::connect(edit_, &QLineEdit::textEdited, this, [this](const QString& t) { control_->enterText(ss(t)); });
    const bool hasMenu = dynamic_cast<kit::CodeEditBox*>(control_.get()) ||
                         dynamic_cast<kit::CoinAccountBox*>(control_.get());
    if (hasMenu) {
        menuButton_ = new QToolButton(widget_);
        menuButton_->setObjectName(qs(control_->name() + ".menu"));
        menuButton_->setText(QStringLiteral("…"));
        menuButton_->setToolTip(QStringLiteral("Comandi del campo"));
        menuButton_->setFocusPolicy(Qt::NoFocus);
        menuButton_->setMinimumHeight(1);
        layout->addWidget(menuButton_, 0);
        QObject::connect(menuButton_, &QToolButton::clicked, this, [this] { runWithFocus([this] { showMenu(); }); });
    }
}

QWidget* TextBoxView::focusWidget() const { return edit_; }
QList<QWidget*> TextBoxView::inputWidgets() const { return {edit_}; }

std::string TextBoxView::shownText() const {
    if (auto* code = dynamic_cast<kit::CodeEditBox*>(control_.get())) return code->displayText();
    if (auto* coin = dynamic_cast<kit::CoinAccountBox*>(control_.get())) {
        // Away from the box the account shows through the chart's edit mask.
        if (!edit_->hasFocus() && coin->Text() == coin->Value() && !coin->DisplayText().empty())
            return coin->DisplayText();
    }
    if (auto* ledger = dynamic_cast<kit::LedgerAccountBox*>(control_.get()))
        if (!edit_->hasFocus()) return ledger->DisplayText();
    return control_->Text();
}

void TextBoxView::focusChanged(bool) { render("Text"); }

void TextBoxView::render(const std::string& p) {
    ControlView::render(p);
    const bool all = p.empty();
    if (all || p == "Text" || p == "Value" || p == "DisplayText" || p == "UpperCase" || p == "Mask") {
        QString t = qs(shownText());
        if (edit_->text() != t) {
            int cursor = edit_->cursorPosition();
            edit_->setText(t);
            if (edit_->hasFocus()) edit_->setCursorPosition(std::min<int>(cursor, t.size()));
        }
    }
    if (all || p == "lastError" || p == "IDLookup" || p == "Caption" || p == "caption" || p == "ToolTipText" || p == "Mandatory" ||
        p == "Provisional") {
        std::string error;
        bool lookup = false, mandatory = false, search = false, restore = false;
        if (auto* code = dynamic_cast<kit::CodeEditBox*>(control_.get())) {
            error = code->lastError();
            lookup = true;
            mandatory = code->Mandatory();
        } else if (auto* coin = dynamic_cast<kit::CoinAccountBox*>(control_.get())) {
            error = coin->lastError();
            lookup = true;
            restore = true;
        } else if (auto* ledger = dynamic_cast<kit::LedgerAccountBox*>(control_.get())) {
            error = ledger->lastError();
            search = true;
        }
        QStringList tip;
        if (control_->Provisional()) tip << qs(control_->ProvisionalHint());
        const std::string& hint = control_->ToolTipText().empty() ? control_->caption() : control_->ToolTipText();
        if (!hint.empty()) tip << qs(hint);
        if (mandatory) tip << QStringLiteral("Campo obbligatorio");
        if (lookup) tip << QString::fromUtf8(kLookupHint);
        if (search) tip << QString::fromUtf8(kSearchHint);
        if (restore) tip << QString::fromUtf8(kRestoreHint);
        if (!error.empty()) tip << qs(error);
        edit_->setToolTip(tip.join('\n'));
        edit_->setPlaceholderText(qs(hint));
        QString style;
        if (!error.empty()) style += QStringLiteral("background: #ffe4e1;");
        if (control_->Provisional()) style += QStringLiteral("font-style: italic; color: #707070;");
        edit_->setStyleSheet(style.isEmpty() ? QString() : QStringLiteral("QLineEdit { %1 }").arg(style));
        edit_->setProperty("hasError", !error.empty());
        edit_->setProperty("provisional", control_->Provisional());
    }
    // A disabled box (a description shown beside a code) offers no commands.
    if (menuButton_ && (all || p == "Enabled")) menuButton_->setVisible(control_->Enabled());
}

std::vector<kit::MenuEntry> TextBoxView::menuEntries() const {
    if (auto* code = dynamic_cast<kit::CodeEditBox*>(control_.get())) return code->menuEntries();
    if (auto* coin = dynamic_cast<kit::CoinAccountBox*>(control_.get())) {
        std::string caption = coin->ManagementCaption().empty() ? "Gestione" : coin->ManagementCaption();
        return {kit::MenuEntry{"Kgestione", caption, coin->Enabled()}};
    }
    return {};
}

void TextBoxView::pressMenuKey(const std::string& key) {
    if (auto* code = dynamic_cast<kit::CodeEditBox*>(control_.get()))
        code->pressMenuKey(key);
    else if (auto* coin = dynamic_cast<kit::CoinAccountBox*>(control_.get()))
        coin->pressMenuKey(key);
}

void TextBoxView::showMenu() {
    QMenu menu(widget_);
    menu.setObjectName(qs(control_->name() + ".keyMenu"));
    for (const auto& e : menuEntries()) {
        QString caption = qs(e.caption.empty() ? e.key : e.caption);
        QAction* a = menu.addAction(caption);
        a->setEnabled(e.enabled);
        a->setData(qs(e.key));
    }
    QAction* chosen = menu.exec(menuButton_->mapToGlobal(QPoint(0, menuButton_->height())));
    if (chosen) pressMenuKey(ss(chosen->data().toString()));
}

// ---------------- LabelView ----------------

LabelView::LabelView(std::shared_ptr<kit::Control> control)
    : ControlView(std::move(control), new QLabel), label_(static_cast<QLabel*>(widget_.data())) {}

void LabelView::render(const std::string& p) {
    ControlView::render(p);
    if (p.empty() || p == "Text" || p == "Caption")
        label_->setText(qs(control_->Text().empty() ? control_->Caption() : control_->Text()));
    if (p.empty() || p == "Border") {
        auto* l = dynamic_cast<kit::CaptionLabel*>(control_.get());
        label_->setFrameStyle(l && l->Border() ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
    }
}

// ---------------- ButtonView ----------------

ButtonView::ButtonView(std::shared_ptr<kit::MenuButton> b)
    : ControlView(b, new QPushButton), button_(static_cast<QPushButton*>(widget_.data())) {
    button_->setAutoDefault(false);
    auto* model = b.get();
    QObject::connect(button_, &QPushButton::clicked, this, [this, model] { runWithFocus([model] { model->click(); }); });
}

QWidget* ButtonView::focusWidget() const { return button_; }

std::optional<KitKey> ButtonView::mapKey(const QKeyEvent& e) const {
    // Space is the button's own click; the other keys go to the form.
    if (e.key() == Qt::Key_Space) return std::nullopt;
    return formKey(e);
}

QString ButtonView::caption() const { return qs(control_->Caption().empty() ? control_->Text() : control_->Caption()); }

void ButtonView::setMnemonic(QChar letter) {
    mnemonic_ = letter;
    button_->setText(placeMnemonic(caption(), mnemonic_));
}

void ButtonView::render(const std::string& p) {
    ControlView::render(p);
    if (p.empty() || p == "Caption" || p == "Text") {
        button_->setText(placeMnemonic(caption(), mnemonic_));
        emit captionChanged();
    }
}

// ---------------- ComboView ----------------

ComboView::ComboView(std::shared_ptr<kit::ListCombo> combo)
    : ControlView(combo, new QComboBox), box_(static_cast<QComboBox*>(widget_.data())) {
    auto* model = combo.get();
    QObject::connect(box_, &QComboBox::activated, this, [this, model](int index) {
        if (!filling_ && index >= -1 && index < model->ListCount()) model->select(index);
    });
}

QWidget* ComboView::focusWidget() const { return box_; }

std::optional<KitKey> ComboView::mapKey(const QKeyEvent& e) const {
    // Up, Down and the page keys choose an item in the list itself.
    switch (e.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: return std::nullopt;
    default: return formKey(e);
    }
}

void ComboView::render(const std::string& p) {
    ControlView::render(p);
    auto& combo = static_cast<kit::ListCombo&>(*control_);
    const bool all = p.empty();
    filling_ = true;
    if (all || p == "List") {
        box_->clear();
        for (const auto& item : combo.items()) box_->addItem(qs(item.text));
    }
    if (all || p == "List" || p == "ListIndex" || p == "Value" || p == "Text") box_->setCurrentIndex(combo.ListIndex());
    filling_ = false;
}

// ---------------- FrameView ----------------

FrameView::FrameView(std::shared_ptr<kit::GroupFrame> frame) : ControlView(frame, new QGroupBox) {}

void FrameView::render(const std::string& p) {
    ControlView::render(p);
    if (p.empty() || p == "Caption" || p == "Text")
        static_cast<QGroupBox*>(widget_.data())
            ->setTitle(qs(control_->Caption().empty() ? control_->Text() : control_->Caption()));
}

// ---------------- ImageView ----------------

namespace {

// A green check mark on a transparent square of `size` pixels.
QPixmap checkMark(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x2e, 0x8b, 0x57), size / 7.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(size * 0.18, size * 0.55), QPointF(size * 0.42, size * 0.78),
                                    QPointF(size * 0.84, size * 0.24)}));
    return pixmap;
}

}  // namespace

ImageView::ImageView(std::shared_ptr<kit::ImageBox> image) : ControlView(image, new QLabel) {}

void ImageView::render(const std::string& p) {
    ControlView::render(p);
    if (p.empty() || p == "Picture") {
        auto* label = static_cast<QLabel*>(widget_.data());
        const auto& picture = static_cast<kit::ImageBox&>(*control_).Picture();
        QPixmap pixmap;
        if (picture == kit::ImageBox::kCheckMark)
            pixmap = checkMark(std::max(16, std::min(label->width(), label->height())));
        else if (!picture.empty() && QFileInfo::exists(qs(picture)))
            pixmap.load(qs(picture));
        label->setPixmap(pixmap);
        label->setScaledContents(true);
    }
}

// ---------------- GridView ----------------

GridView::GridView(std::shared_ptr<kit::QueryGrid> grid)
    : ControlView(grid, new QTableView), table_(static_cast<QTableView*>(widget_.data())) {
    model_ = new QueryGridModel(grid, this);
    table_->setModel(model_);
    geometry_ = new TableGridLayout(grid, table_, model_, this);
    setUpRowTable(table_);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    viewport_ = table_->viewport();
    viewport_->installEventFilter(this);
    QObject::connect(model_, &QueryGridModel::currentRowChanged, this, &GridView::showCurrentRow);
    QObject::connect(model_, &QueryGridModel::layoutRebuilt, this, &GridView::applyColumnWidths);
    applyColumnWidths();
    showCurrentRow(static_cast<int>(grid->currentRow()));
}

GridView::~GridView() {
    if (viewport_) viewport_->removeEventFilter(this);
}

QWidget* GridView::focusWidget() const { return table_; }
QList<QWidget*> GridView::inputWidgets() const { return {table_}; }

void GridView::applyColumnWidths() { geometry_->applyColumnWidths(); }

void GridView::showCurrentRow(int row) { geometry_->showCurrent(row); }

std::optional<KitKey> GridView::mapKey(const QKeyEvent& event) const {
    const bool extend = (event.modifiers() & Qt::ShiftModifier) && !(event.modifiers() & Qt::ControlModifier);
    if (extend && (event.key() == Qt::Key_Up || event.key() == Qt::Key_Down)) return std::nullopt;
    return gridKey(event);
}

std::vector<long> GridView::selectedRecordsetRows() const {
    std::vector<long> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        if (long row = model_->recordsetRow(index.row()); row >= 0) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    return rows;
}

void GridView::clickRow(int row, int tableColumn) { moveToRow(model_->recordsetRow(row), tableColumn); }

bool GridView::moveToRow(long recordsetRow, int tableColumn) {
    auto* grid = static_cast<kit::QueryGrid*>(control_.get());
    int column = model_->gridColumn(tableColumn);
    runWithFocus([grid, recordsetRow, column] {
        if (column >= 0) grid->setCol(column);
        if (recordsetRow >= 0) grid->clickRow(recordsetRow);
    });
    // Whatever the frame decided, the selection shows the recordset's row.
    showCurrentRow(static_cast<int>(grid->currentRow()));
    return recordsetRow >= 0 && grid->currentRow() == recordsetRow;
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_.data() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        auto* me = static_cast<QMouseEvent*>(event);
        // Ctrl and Shift only select rows in the view: the table handles them itself.
        const bool selecting = me->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
        if (me->button() == Qt::LeftButton && !selecting) {
            QPoint at = me->position().toPoint();
            clickRow(table_->rowAt(at.y()), table_->columnAt(at.x()));
            return true;
        }
    }
    return ControlView::eventFilter(watched, event);
}

void GridView::render(const std::string& p) {
    ControlView::render(p);
    if (p == "ColumnWidth") applyColumnWidths();
}

// ---------------- NavigatorView ----------------

NavigatorView::NavigatorView(std::shared_ptr<kit::GridNavigator> navigator) : ControlView(navigator, new QWidget) {
    auto* layout = new QHBoxLayout(widget_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    struct Face {
        const char* name;
        const char* text;
        QStyle::StandardPixmap icon;
    };
    // Words rather than symbols, so that each button can underline its Alt letter.
    static const Face faces[] = {{"primo", "Primo", QStyle::SP_MediaSkipBackward},
                                 {"precedente", "Precedente", QStyle::SP_MediaSeekBackward},
                                 {"successivo", "Successivo", QStyle::SP_MediaSeekForward},
                                 {"ultimo", "Ultimo", QStyle::SP_MediaSkipForward},
                                 {"apri", "Apri", QStyle::SP_DirOpenIcon},
                                 {"Nuovo", "Nuovo", QStyle::SP_FileIcon}};
    auto* model = navigator.get();
    for (const auto& f : faces) {
        auto* b = new QToolButton(widget_);
        b->setObjectName(QString::fromUtf8(f.name));
        b->setText(QString::fromUtf8(f.text));
        b->setProperty("caption", b->text());
        b->setIcon(b->style()->standardIcon(f.icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
        std::string name = f.name;
        QObject::connect(b, &QToolButton::clicked, this,
                         [this, model, name] { runWithFocus([model, name] { model->press(name); }); });
        buttons_.emplace_back(name, b);
    }
    layout->addStretch(1);
    widget_->setFocusPolicy(Qt::ClickFocus);
}

QToolButton* NavigatorView::button(const std::string& name) const {
    for (const auto& [n, b] : buttons_)
        if (n == name) return b;
    return nullptr;
}

// ---------------- HiddenView ----------------

HiddenView::HiddenView(std::shared_ptr<kit::Control> control) : ControlView(std::move(control), nullptr) {}

// ---------------- factory ----------------

std::unique_ptr<ControlView> makeView(const std::shared_ptr<kit::Control>& c) {
    std::unique_ptr<ControlView> view;
    if (std::dynamic_pointer_cast<kit::CodeEditBox>(c) || std::dynamic_pointer_cast<kit::CoinAccountBox>(c) ||
        std::dynamic_pointer_cast<kit::LedgerAccountBox>(c))
        view = std::make_unique<TextBoxView>(c);
    else if (auto b = std::dynamic_pointer_cast<kit::MenuButton>(c))
        view = std::make_unique<ButtonView>(b);
    else if (auto combo = std::dynamic_pointer_cast<kit::ListCombo>(c))
        view = std::make_unique<ComboView>(combo);
    else if (auto frame = std::dynamic_pointer_cast<kit::GroupFrame>(c))
        view = std::make_unique<FrameView>(frame);
    else if (auto image = std::dynamic_pointer_cast<kit::ImageBox>(c))
        view = std::make_unique<ImageView>(image);
    else if (auto grid = std::dynamic_pointer_cast<kit::QueryGrid>(c))
        view = std::make_unique<GridView>(grid);
    else if (auto nav = std::dynamic_pointer_cast<kit::GridNavigator>(c))
        view = std::make_unique<NavigatorView>(nav);
    else if (std::dynamic_pointer_cast<kit::FormResizer>(c) || std::dynamic_pointer_cast<kit::MdiHostBox>(c))
        view = std::make_unique<HiddenView>(c);
    else
        view = std::make_unique<LabelView>(c);   // a caption label, or a type the shell does not know
    return view;
}

}  // namespace gui
