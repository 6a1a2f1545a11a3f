#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
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

// Clipboard changes that the test announces with deliver().
class FakeClipboardChanges final : public ClipboardChangeSource {
  public:
    void join(ChangeHandler onChange) override {
        handler_ = std::move(onChange);
        ++joins;
    }
    void leave() override {
        handler_ = nullptr;
        ++leaves;
    }
    bool joined() const { return bool(handler_); }
    // Runs the handler as the event loop would for one change; nothing when not joined.
    void deliver() {
        if (handler_)
            handler_();
    }

    int joins = 0;
    int leaves = 0;

  private:
    ChangeHandler handler_;
};

// A clipboard whose offer and content the test sets. `duringRead` runs inside each read, as
// events dispatched while a real read waits would.
class FakeClipboardReader final : public ClipboardReader {
  public:
    std::optional<ClipboardOffer> offer(Budget) override {
        runDuringRead();
        return offerValue;
    }
    std::optional<std::string> text(Budget) override {
        runDuringRead();
        return textValue;
    }
    std::optional<ClipboardImage> image(Budget) override {
        runDuringRead();
        return imageValue;
    }
    std::string ownerExecutablePath() override { return owner; }
    bool ownedByThisProcess() override { return ownedByUs; }

    // Sets a plain text content as a program offering UTF8_STRING would.
    void setText(const std::string& value) {
        offerValue = ClipboardOffer{{"TARGETS", "UTF8_STRING"}, true, false, false};
        textValue = value;
        imageValue.reset();
    }

    std::optional<ClipboardOffer> offerValue;
    std::optional<std::string> textValue;
    std::optional<ClipboardImage> imageValue;
    std::string owner;
    bool ownedByUs = false;
    std::function<void()> duringRead;
    int reads = 0;

  private:
    void runDuringRead() {
        ++reads;
        if (auto act = std::exchange(duringRead, nullptr))
            act();
    }
};

// A screen whose picture the test sets.
class FakeScreenGrabber final : public ScreenGrabber {
  public:
    ScreenRect primaryScreen() override { return {0, 0, picture.width, picture.height}; }
    ScreenPicture grabPrimaryScreen() override {
        ++grabs;
        return picture;
    }

    ScreenPicture picture;
    int grabs = 0;
};

// Hotkeys that the test presses with press(). Combinations in `heldElsewhere` are refused, as
// when another program holds them.
class FakeGlobalHotkeys final : public GlobalHotkeys {
  public:
    struct Combination {
        unsigned modifiers = 0;
        char key = 0;
        friend auto operator<=>(const Combination&, const Combination&) = default;
    };

    void setHandler(PressHandler onPress) override { handler_ = std::move(onPress); }
    bool registerHotkey(int id, unsigned modifiers, char key) override;
    void unregisterHotkey(int id) override { registered.erase(id); }

    // A press of `modifiers` + `key`: reported, as the system does, only when that exact
    // combination is registered. Returns whether it was reported.
    bool press(unsigned modifiers, char key);
    // Reports a press under `id` whatever is registered, as a stray message would arrive.
    void deliver(int id, unsigned modifiers, char key) {
        if (handler_)
            handler_(id, modifiers, key);
    }

    std::map<int, Combination> registered;
    std::set<Combination> heldElsewhere;

  private:
    PressHandler handler_;
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
    FakeClipboardChanges* clipboardChanges;
    FakeClipboardReader* clipboardReader;
    FakeScreenGrabber* screenGrabber;
    FakeGlobalHotkeys* globalHotkeys;

  private:
    std::unique_ptr<Platform> platform_;
};

}  // namespace quillet::platform::fake
