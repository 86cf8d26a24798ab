#pragma once
// A small program for the driver's engine tests: an entry class whose ShowForm opens a
// window with a code box that refuses "BAD", a combo, a grid over a record frame, a button
// that asks a question through the host's message centre and a button that opens a modal
// child window. The window refuses to close while IsCalled is true.

#include <memory>
#include <string>
#include <vector>

#include "db/Recordset.h"
#include "host/Cinterface.h"
#include "support/PropertyEntry.h"
#include "host/Global.h"
#include "host/MessageCenter.h"
#include "kit/Kit.h"

namespace fake {

class FakeWindow;

class FakeEntry : public testsupport::PropertyEntry {
public:
    explicit FakeEntry(kit::WindowSystem& ws) : ws_(ws) {}
    ~FakeEntry() override;

    db::Variant ShowForm() override;

    // What the entry went through, shared so that a test can read it after the driver has
    // let go of the entry: the modal window's Show returned, the window unloaded.
    struct Seen {
        bool modalReturned = false;
        bool unloaded = false;
    };
    std::shared_ptr<Seen> seen = std::make_shared<Seen>();
    // A connection for the code box's lookup (may be null).
    std::shared_ptr<db::Connection> lookupConnection;

private:
    kit::WindowSystem& ws_;
    std::shared_ptr<FakeWindow> window_;
    // Every ShowForm opens a new window; the earlier ones live on, as a module's editors do.
    std::vector<std::shared_ptr<FakeWindow>> earlier_;
};

class FakeWindow : public kit::Form {
public:
    FakeWindow(FakeEntry& entry, kit::WindowSystem& ws);

    FakeEntry& entry;
    std::shared_ptr<kit::CodeEditBox> code = create<kit::CodeEditBox>("TXT_CODE");
    std::shared_ptr<kit::CodeEditBox> other = create<kit::CodeEditBox>("TXT_OTHER");
    std::shared_ptr<kit::ListCombo> combo = create<kit::ListCombo>("CBO_SEGNO");
    std::shared_ptr<kit::MenuButton> ask = create<kit::MenuButton>("BUT_ASK");
    std::shared_ptr<kit::MenuButton> child = create<kit::MenuButton>("BUT_CHILD");
    std::shared_ptr<kit::CaptionLabel> answer = create<kit::CaptionLabel>("LBL_ANSWER");
    std::shared_ptr<kit::QueryGrid> grid = create<kit::QueryGrid>("GRID");
    std::shared_ptr<kit::GridNavigator> nav = create<kit::GridNavigator>("GRIDNAV");
    std::shared_ptr<db::Recordset> rows;
    std::shared_ptr<kit::RecordFrame> frame = std::make_shared<kit::RecordFrame>("FME");
    std::unique_ptr<kit::Form> childWindow;
    std::shared_ptr<db::Object> hostLink;
    std::shared_ptr<db::Connection> noConnection;
};

}  // namespace fake
