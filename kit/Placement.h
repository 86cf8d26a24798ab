#pragma once
// A control laid out where its form wants it (left, top, width, height in twips) and handed
// back, so that a form's layout reads one control a line: box_ = place(create<...>(...), ...).

#include <memory>

namespace kit {

template <class T>
std::shared_ptr<T> place(const std::shared_ptr<T>& control, int left, int top, int width, int height) {
    control->move(left, top, width, height);
    return control;
}

}  // namespace kit
