#pragma once

#include <atomic>
#include <map>
#include <string>
#include <thread>

struct xcb_connection_t;

namespace quillet::e2e {

// Another program owning the CLIPBOARD selection, on an X connection of its own: it offers the
// given targets and answers each request from a thread, or never answers at all.
class SelectionOwner {
  public:
    // `targets` maps target names to the bytes handed over (as type UTF8_STRING for text
    // targets, else as the target's own type). With `answer` false the owner takes the
    // selection and then ignores every request.
    SelectionOwner(std::map<std::string, std::string> targets, bool answer = true);
    ~SelectionOwner();

    bool owns() const { return owns_; }

  private:
    void serve();

    std::map<std::string, std::string> targets_;
    xcb_connection_t* connection_ = nullptr;
    unsigned window_ = 0;
    bool owns_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace quillet::e2e
