#include "entry/ModuleObjects.h"

namespace entry {

namespace {
std::atomic<long> liveObjects{0};
kit::WindowSystem* currentWindowSystem = nullptr;
}  // namespace

LiveObject::LiveObject() { ++liveObjects; }
LiveObject::LiveObject(const LiveObject&) { ++liveObjects; }
LiveObject::~LiveObject() { --liveObjects; }

long liveObjectCount() { return liveObjects.load(); }

void setWindowSystem(kit::WindowSystem* windowSystem) { currentWindowSystem = windowSystem; }
kit::WindowSystem* windowSystem() { return currentWindowSystem; }

}  // namespace entry
