#include "kit/UserAction.h"

namespace kit {

namespace {
thread_local int t_depth = 0;
thread_local std::uint64_t t_action = 0;
thread_local std::uint64_t t_next = 0;

void begin() { t_action = ++t_next; }
}  // namespace

UserAction::UserAction() {
    if (t_depth++ == 0) begin();
}

UserAction::~UserAction() {
    if (--t_depth == 0) t_action = 0;
}

std::uint64_t UserAction::current() { return t_action; }

void UserAction::interrupt() {
    if (t_action != 0) begin();
}

UserAction::ModalLoop::ModalLoop() : savedDepth_(t_depth) {
    t_depth = 0;
    t_action = 0;
}

UserAction::ModalLoop::~ModalLoop() {
    t_depth = savedDepth_;
    if (t_depth > 0) begin();
}

}  // namespace kit
