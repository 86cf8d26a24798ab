#pragma once
// What the grid-editing classes reach through the window they serve: the vertical scale of
// its form resizer QVA_RESIZEFORM1 and a plain message box. Each throws when the window does
// not offer it, so that the caller's error trap skips the statement.

#include <memory>
#include <string>

#include "db/Variant.h"

namespace gridedit {

// MyForm.QVA_RESIZEFORM1.TransformYcoordinate(y).
double transformY(const std::shared_ptr<db::Object>& form, double y);

// A message box through the form's window system, or the module's when the form has none.
int plainMessageBox(const std::shared_ptr<db::Object>& form, const std::string& text, int style,
                    const std::string& title);

}  // namespace gridedit
