#include "gui/Mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <vector>

#include "gui/ControlViews.h"
#include "gui/FormWindow.h"

namespace gui {

namespace {

bool usable(QChar c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// The tooltip the window gives a widget, unless someone else gave it one of their own.
void setOwnToolTip(QWidget* w, const QString& tip) {
    const QString own = w->property("ownToolTip").toString();
    if (!w->toolTip().isEmpty() && w->toolTip() != own) return;
    w->setToolTip(tip);
    w->setProperty("ownToolTip", tip);
}

}  // namespace

QChar mnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1].toLower();
        ++i;   // "&&" is a literal '&'
    }
    return {};
}

QString withoutMnemonic(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

QString placeMnemonic(const QString& caption, QChar letter) {
    if (letter.isNull() || !mnemonicOf(caption).isNull()) return caption;
    QString text = caption;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            ++i;
            continue;
        }
        if (text[i].toLower() == letter) return text.insert(i, '&');
    }
    return caption;
}

QChar freeLetter(const QString& caption, const QSet<QChar>& taken) {
    const QString plain = withoutMnemonic(caption).toLower();
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const bool wordStart = i == 0 || !plain[i - 1].isLetterOrNumber();
        if (wordStart && usable(plain[i]) && !taken.contains(plain[i])) return plain[i];
    }
    for (QChar c : plain)
        if (usable(c) && !taken.contains(c)) return c;
    return {};
}

QString buttonDescription(const std::string& controlName, const QString& caption) {
    static const std::pair<const char*, const char*> descriptions[] = {
        {"BUT_NUOVACORR", "Nuova correlazione: svuota l'intestazione per scegliere altri piani dei conti"},
        {"BUT_STAMPA", "Stampa l'elenco delle correlazioni"},
        {"BUT_CORRINFRANNUALECEE", "Correlazione bilanci infrannuali da schema CEE"},
        {"BUT_CHIUDI", "Chiude la finestra"},
        {"BUT_ELABORA", "Correla i conti secondo lo schema CEE scelto"},
    };
    for (const auto& [name, text] : descriptions)
        if (controlName == name) return QString::fromUtf8(text);
    return withoutMnemonic(caption);
}

WindowMnemonics::WindowMnemonics(FormWindow& window) : QObject(&window), window_(&window) {
    for (const auto& v : window.views())
        if (auto* b = dynamic_cast<ButtonView*>(v.get()))
            connect(b, &ButtonView::captionChanged, this, &WindowMnemonics::update);
    update();
}

void WindowMnemonics::update() {
    if (!window_ || updating_) return;
    QScopedValueRollback<bool> guard(updating_, true);

    struct Entry {
        QAbstractButton* button;
        QString caption;
        QString description;
        std::function<void(QChar)> apply;
    };
    std::vector<Entry> entries;
    std::vector<ButtonView*> buttons;
    for (const auto& v : window_->views())
        if (auto* b = dynamic_cast<ButtonView*>(v.get())) buttons.push_back(b);
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](ButtonView* a, ButtonView* b) { return a->control().TabIndex() < b->control().TabIndex(); });
    for (ButtonView* b : buttons)
        entries.push_back({b->button(), b->caption(), buttonDescription(b->control().name(), b->caption()),
                         [b](QChar c) { b->setMnemonic(c); }});
    for (const auto& v : window_->views())
        if (auto* nav = dynamic_cast<NavigatorView*>(v.get()))
            for (const auto& [name, tb] : nav->buttons()) {
                const QString caption = tb->property("caption").toString();
                QToolButton* button = tb;
                entries.push_back({tb, caption, caption, [button, caption](QChar c) {
                                     button->setText(placeMnemonic(caption, c));
                                 }});
            }

    // The menu bar's titles and the captions that bring their own letter come first.
    QSet<QChar> taken;
    if (auto* bar = window_->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly))
        for (QAction* a : bar->actions())
            if (QChar m = mnemonicOf(a->text()); !m.isNull()) taken << m;
    std::vector<QChar> chosen(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (QChar m = mnemonicOf(entries[i].caption); !m.isNull()) taken << (chosen[i] = m);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!chosen[i].isNull()) continue;
        const QChar before = entries[i].button->property("mnemonic").toChar();
        if (!before.isNull() && !taken.contains(before) && entries[i].caption.toLower().contains(before))
            taken << (chosen[i] = before);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!chosen[i].isNull()) continue;
        chosen[i] = freeLetter(entries[i].caption, taken);
        if (!chosen[i].isNull()) taken << chosen[i];
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& s = entries[i];
        s.button->setProperty("mnemonic", chosen[i]);
        s.apply(chosen[i]);
        setOwnToolTip(s.button, chosen[i].isNull() ? s.description
                                                   : QStringLiteral("%1 (Alt+%2)").arg(s.description, chosen[i].toUpper()));
    }
}

}  // namespace gui
