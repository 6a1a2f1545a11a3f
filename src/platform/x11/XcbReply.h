#pragma once

#include <cstdlib>
#include <memory>

namespace quillet::platform {

// An xcb reply, freed with free() as xcb asks, whatever way the scope is left.
struct XcbFree {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;

}  // namespace quillet::platform
