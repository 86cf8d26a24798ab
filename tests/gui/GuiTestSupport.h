#pragma once
// What the Qt tests share: the application object (created once for the binary, offscreen)
// and an in-memory working recordset like the editor's.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <functional>
#include <memory>

#include "db/Recordset.h"
#include "support/WorkingRows.h"

// Qt's own QTRY_ macros report through QtTest and return quietly from a GoogleTest body: here
// they wait the same way and then fail the GoogleTest test like any other expectation.
#undef QTRY_COMPARE
#define QTRY_COMPARE(actual, expected)                                          \
    do {                                                                        \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, 5000);    \
        EXPECT_EQ((actual), (expected));                                        \
    } while (0)
#undef QTRY_VERIFY
#define QTRY_VERIFY(condition)                                                  \
    do {                                                                        \
        (void)QTest::qWaitFor([&] { return bool(condition); }, 5000);           \
        EXPECT_TRUE(condition);                                                 \
    } while (0)

namespace guitest {

using testsupport::workingRows;

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
