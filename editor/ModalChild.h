#pragma once
// A window the editor opens modally on itself (the intermediaries and the CEE windows): shown
// under the caller's trap and, whatever happens inside it, closed when still loaded and let
// go of, with its links to the caller cut, so that the editor is brought back after it.

#include <memory>

#include "editor/ErrorTrap.h"

namespace editor {

template <class Window>
void showModalChild(ErrorTrap& trap, std::shared_ptr<Window>& window) {
    trap([&] {
        if (window) window->show(true);
    });
    trap([&] {
        if (!window) return;
        if (window->isLoaded()) window->close();
        window->FrmChiamante = nullptr;
        window->ClsChiamante.reset();
        window.reset();
    });
}

}  // namespace editor
