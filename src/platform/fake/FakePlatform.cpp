#include "FakePlatform.h"

namespace quillet::platform::fake {

namespace {

// Makes a fake, lets `typed` point at it, and hands over its ownership.
template <typename Fake>
std::unique_ptr<Fake> Keep(Fake*& typed) {
    auto made = std::make_unique<Fake>();
    typed = made.get();
    return made;
}

}  // namespace

bool FakeInstanceLock::tryAcquire(const std::string& name) {
    release();
    if (!held_->insert(name).second)
        return false;
    mine_ = name;
    return true;
}

void FakeInstanceLock::release() {
    if (mine_.empty())
        return;
    held_->erase(mine_);
    mine_.clear();
}

bool FakeGlobalHotkeys::registerHotkey(int id, unsigned modifiers, char key) {
    const Combination wanted{modifiers, key};
    if (heldElsewhere.count(wanted))
        return false;
    for (const auto& [otherId, combination] : registered)
        if (otherId != id && combination == wanted)
            return false;
    registered[id] = wanted;
    return true;
}

bool FakeGlobalHotkeys::press(unsigned modifiers, char key) {
    for (const auto& [id, combination] : registered)
        if (combination == Combination{modifiers, key}) {
            deliver(id, modifiers, key);
            return true;
        }
    return false;
}

FakePlatform::FakePlatform() : platform_(std::make_unique<Platform>()) {
    platform_->instanceLock = Keep(instanceLock);
    platform_->autostart = Keep(autostart);
    platform_->windowStyler = Keep(windowStyler);
    platform_->soundPlayer = Keep(soundPlayer);
    platform_->clipboardChanges = Keep(clipboardChanges);
    platform_->clipboardReader = Keep(clipboardReader);
    platform_->screenGrabber = Keep(screenGrabber);
    platform_->globalHotkeys = Keep(globalHotkeys);
}

std::unique_ptr<Platform> FakePlatform::take() {
    return std::move(platform_);
}

}  // namespace quillet::platform::fake
