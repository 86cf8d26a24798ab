#pragma once
// Alt+letter for every button of a form window, underlined in the button's text. A caption
// that brings its own '&' keeps its letter; the other buttons get one in their Qt text only
// (the kit caption stays as the module set it), chosen so that no two buttons of the window
// and no title of its menu bar share a letter. A button keeps its letter while its caption
// still has it, so that captions the module changes do not move the other buttons' letters.

#include <QChar>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QAbstractButton;

namespace gui {

class FormWindow;

// The letter after a single '&' (lower case), or a null QChar.
QChar mnemonicOf(const QString& text);
// `text` without its '&' markers ("&&" stays a literal '&').
QString withoutMnemonic(const QString& text);
// `caption` with '&' before the first occurrence of `letter` (any case); unchanged when the
// caption brings its own '&', when `letter` is null or not in it.
QString placeMnemonic(const QString& caption, QChar letter);
// A letter of `caption` not in `taken`: the start of a word first, then any letter.
QChar freeLetter(const QString& caption, const QSet<QChar>& taken);

// What a button does, for its tooltip: the module's caption says it for most buttons.
QString buttonDescription(const std::string& controlName, const QString& caption);

class WindowMnemonics : public QObject {
    Q_OBJECT
public:
    explicit WindowMnemonics(FormWindow& window);
    // Chooses the letters again (after a caption or the menu bar changed).
    void update();

private:
    QPointer<FormWindow> window_;
    bool updating_ = false;
};

}  // namespace gui
