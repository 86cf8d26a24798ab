#pragma once
// Bookkeeping of the module as a loadable component: how many of its public objects are
// alive (DllCanUnloadNow), whether it was registered, and the window system its windows are
// shown through (the host hands it over once, before it opens a window).

#include <atomic>

namespace kit {
class WindowSystem;
}

namespace entry {

// Counts an object of the module's public classes for as long as it lives.
class LiveObject {
public:
    LiveObject();
    LiveObject(const LiveObject&);
    LiveObject& operator=(const LiveObject&) = default;
    ~LiveObject();
};

long liveObjectCount();

// The window system ShowForm shows the editor through; nullptr until the host sets one
// (ShowForm then opens nothing).
void setWindowSystem(kit::WindowSystem* windowSystem);
kit::WindowSystem* windowSystem();

}  // namespace entry
