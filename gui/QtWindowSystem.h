#pragma once
// The window system of the desktop shell: a FormWindow per shown form, a nested QEventLoop
// for modal forms (showModal returns once the form closed) and the Qt lookup window.

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

#include "gui/FormWindow.h"
#include "gui/LookupDialog.h"
#include "kit/WindowSystem.h"

class QEventLoop;

namespace gui {

class QtWindowSystem : public QObject, public kit::WindowSystem {
    Q_OBJECT
public:
    // `owner` is the main window modal forms belong to (may be null).
    explicit QtWindowSystem(QWidget* owner = nullptr);
    ~QtWindowSystem() override;

    void showModal(kit::Form& form) override;
    void showModeless(kit::Form& form) override;
    void formClosed(kit::Form& form) override;
    kit::LookupPresenter& lookups() override;
    // A QMessageBox over the active window (QtDialogs' plain-box styles).
    int messageBox(const std::string& text, int style, const std::string& title) override;
    // Replaces the Qt lookup window (tests pass a scripted presenter).
    void setLookupPresenter(kit::LookupPresenter* presenter) { customLookups_ = presenter; }

    // The window of an open form (nullptr when it is not shown).
    FormWindow* windowOf(const kit::Form& form) const;
    // The windows of the forms open now.
    std::vector<FormWindow*> openWindows() const;
    // Called with each window right after it was shown and the form activated; tests and the
    // screenshot option act on a modal window from here.
    void setShownHook(std::function<void(FormWindow&)> hook) { shownHook_ = std::move(hook); }

signals:
    void windowShown(gui::FormWindow* window);
    void windowClosed(const QString& formName);

private:
    FormWindow* open(kit::Form& form, bool modal);
    // The window a new one opens over: the active one, else the one the user worked in last.
    QWidget* opener() const;

    QPointer<QWidget> owner_;
    std::map<const kit::Form*, QPointer<FormWindow>> windows_;
    std::map<const kit::Form*, QEventLoop*> loops_;
    std::vector<QPointer<FormWindow>> byActivation_;   // open windows, the last active one last
    QtLookupPresenter qtLookups_;
    kit::LookupPresenter* customLookups_ = nullptr;
    std::function<void(FormWindow&)> shownHook_;
};

}  // namespace gui
