#pragma once
// What the Qt tests share: the application object (created once for the binary, offscreen)
// and an in-memory working recordset like the editor's.

#include <QApplication>
#include <QStringList>
#include <functional>
#include <memory>

#include "db/Recordset.h"

namespace guitest {

// Rows of (FAKEID, CONTOPDC, DESCRPDC, SEGNO, CONTORICL): `accounts` accounts, two signs each.
std::shared_ptr<db::Recordset> workingRows(int accounts);

// Runs `action` once the next modal dialog is up (polls the event loop until one appears).
void whenModal(std::function<void(QWidget*)> action);

// While it lives, answers every message box that comes up with its default button and keeps
// the texts shown, so that a module's message cannot hang a test.
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer();
    const QStringList& texts() const { return texts_; }

private:
    QStringList texts_;
    QObject* timer_;
};

}  // namespace guitest
