#pragma once
// The grid of a correlation editor's window, on which the commands the shell adds to an
// editor (export, counts, unmapped rows, find bar) work.

#include "gui/ControlViews.h"
#include "gui/FormWindow.h"
#include "gui/QueryGridModel.h"

namespace gui {

inline constexpr const char* kEditorGridName = "GRID_CORRPDC";

inline GridView* editorGrid(const FormWindow& window) { return window.viewAs<GridView>(kEditorGridName); }

// The window is open and its grid holds the rows of a confirmed header.
inline bool editorRowsLoaded(const FormWindow* window, const GridView* grid) {
    return window && window->form() && grid && grid->model()->grid().Recordset();
}

}  // namespace gui
