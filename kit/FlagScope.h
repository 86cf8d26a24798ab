#pragma once
// Sets a flag for its own lifetime, also when the scope is left by an exception (a step that
// leaves its procedure): a window's or a control's own actions mark themselves with it, so
// that the handlers those actions raise can tell them from the user's.

namespace kit {

class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace kit
