#pragma once
// A host service used in a way it does not support (unknown lookup, bad argument).

#include <stdexcept>

namespace host {

class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace host
