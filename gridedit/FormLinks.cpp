#include "gridedit/FormLinks.h"

#include <stdexcept>

#include "entry/ModuleObjects.h"
#include "kit/Form.h"
#include "kit/SimpleControls.h"
#include "kit/WindowSystem.h"

namespace gridedit {

double transformY(const std::shared_ptr<db::Object>& form, double y) {
    auto* window = dynamic_cast<kit::Form*>(form.get());
    if (!window) throw std::runtime_error("MyForm non è una finestra");
    auto resizer = std::dynamic_pointer_cast<kit::FormResizer>(window->find("QVA_RESIZEFORM1"));
    if (!resizer) throw std::runtime_error("la finestra " + window->name() + " non ha QVA_RESIZEFORM1");
    return resizer->TransformYcoordinate(y);
}

int plainMessageBox(const std::shared_ptr<db::Object>& form, const std::string& text, int style,
                    const std::string& title) {
    auto* window = dynamic_cast<kit::Form*>(form.get());
    kit::WindowSystem* windows = window && window->windowSystemOrNull() ? window->windowSystemOrNull()
                                                                        : entry::windowSystem();
    if (!windows) throw std::runtime_error("nessun sistema di finestre per il messaggio: " + text);
    return windows->messageBox(text, style, title);
}

}  // namespace gridedit
