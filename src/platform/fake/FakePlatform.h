#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

// Platform services that tests drive and inspect. They touch no system state.
namespace quillet::platform::fake {

// Locks held within one test; two FakeInstanceLocks on the same `held` set see each other.
class FakeInstanceLock final : public InstanceLock {
  public:
    explicit FakeInstanceLock(
        std::shared_ptr<std::set<std::string>> held = std::make_shared<std::set<std::string>>())
        : held_(std::move(held)) {}
    ~FakeInstanceLock() override { release(); }

    bool tryAcquire(const std::string& name) override;
    void release() override;

    const std::string& heldName() const { return mine_; }

  private:
    std::shared_ptr<std::set<std::string>> held_;
    std::string mine_;
};

class FakeAutostart final : public Autostart {
  public:
    void apply(bool enabled, const std::string& executablePath) override {
        calls.push_back({enabled, executablePath});
    }

    struct Call {
        bool enabled;
        std::string executablePath;
    };
    std::vector<Call> calls;
};

class FakeWindowStyler final : public WindowStyler {
  public:
    void makeToolWindow(NativeWindow window) override { toolWindows.insert(window); }
    void setOpacity(NativeWindow window, std::uint8_t alpha) override { opacity[window] = alpha; }

    std::set<NativeWindow> toolWindows;
    std::map<NativeWindow, int> opacity;
};

// Records the path of every sound it is asked to play.
class FakeSoundPlayer final : public SoundPlayer {
  public:
    void playAsync(const std::string& path) override { played.push_back(path); }

    std::vector<std::string> played;
};

// A platform made of fakes, with typed access to each for the test.
struct FakePlatform {
    FakePlatform();

    // Hands the services over; the typed pointers below stay valid while the result lives.
    std::unique_ptr<Platform> take();

    FakeInstanceLock* instanceLock;
    FakeAutostart* autostart;
    FakeWindowStyler* windowStyler;
    FakeSoundPlayer* soundPlayer;

  private:
    std::unique_ptr<Platform> platform_;
};

}  // namespace quillet::platform::fake
