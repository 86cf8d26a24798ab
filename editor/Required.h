#pragma once
// An object the next statement needs, or a run-time error that names it (the error trap of
// the procedure then decides), never a null dereference.

#include <memory>
#include <stdexcept>
#include <string>

namespace editor {

template <class T>
T& required(const std::shared_ptr<T>& object, const char* what) {
    if (!object) throw std::logic_error(std::string(what) + " non impostato");
    return *object;
}

}  // namespace editor
