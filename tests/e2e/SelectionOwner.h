#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct xcb_connection_t;

namespace quillet::e2e {

// Another program owning the CLIPBOARD selection, on an X connection of its own: it offers the
// given targets and answers each request from a thread, or never answers at all.
class SelectionOwner {
  public:
    using Targets = std::vector<std::pair<std::string, std::string>>;

    // `targets` names the targets in the order they are offered, each with the bytes handed
    // over (with the target itself as the type). With `answer` false the owner takes the
    // selection and then ignores every request.
    explicit SelectionOwner(Targets targets, bool answer = true);
    ~SelectionOwner();

    bool owns() const { return owns_; }

  private:
    void serve();

    Targets targets_;
    xcb_connection_t* connection_ = nullptr;
    unsigned window_ = 0;
    bool owns_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace quillet::e2e
