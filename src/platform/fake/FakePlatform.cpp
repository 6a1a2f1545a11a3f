#include "FakePlatform.h"

namespace quillet::platform::fake {

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

FakePlatform::FakePlatform() : platform_(std::make_unique<Platform>()) {
    auto lock = std::make_unique<FakeInstanceLock>();
    auto autostartFake = std::make_unique<FakeAutostart>();
    auto styler = std::make_unique<FakeWindowStyler>();
    auto sound = std::make_unique<FakeSoundPlayer>();
    instanceLock = lock.get();
    autostart = autostartFake.get();
    windowStyler = styler.get();
    soundPlayer = sound.get();
    platform_->instanceLock = std::move(lock);
    platform_->autostart = std::move(autostartFake);
    platform_->windowStyler = std::move(styler);
    platform_->soundPlayer = std::move(sound);
}

std::unique_ptr<Platform> FakePlatform::take() {
    return std::move(platform_);
}

}  // namespace quillet::platform::fake
