#include "CanberraSoundPlayer.h"

#include <canberra.h>

#include <cstdint>
#include <filesystem>
#include <system_error>

namespace quillet::platform {

namespace {

// Every sound of the program plays under this id, so that starting one can stop the last.
constexpr std::uint32_t kSoundId = 1;

// The sound theme's event played when the asked file is missing or unusable.
constexpr const char* kFallbackEvent = "message";

}  // namespace

CanberraSoundPlayer::CanberraSoundPlayer() {
    if (ca_context_create(&context_) != CA_SUCCESS) {
        context_ = nullptr;
        return;
    }
    ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Quillet", nullptr);
}

CanberraSoundPlayer::~CanberraSoundPlayer() {
    if (context_)
        ca_context_destroy(context_);
}

void CanberraSoundPlayer::playAsync(const std::string& path) {
    if (!context_)
        return;
    // The last sound is cut off, as a new notification replaces the old one; the call fails
    // harmlessly when nothing is playing.
    ca_context_cancel(context_, kSoundId);

    // canberra answers a missing file and a missing device with the same error code, so the
    // file is looked for here. The path is made absolute now: a relative name means the
    // current directory at the moment of playing, and the backend may open the file later.
    std::error_code error;
    const std::filesystem::path file = std::filesystem::absolute(path, error);
    if (!error && std::filesystem::is_regular_file(file, error)) {
        const int played = ca_context_play(context_, kSoundId, CA_PROP_MEDIA_FILENAME, file.c_str(),
                                           CA_PROP_CANBERRA_CACHE_CONTROL, "never", nullptr);
        if (played == CA_SUCCESS)
            return;
    }
    ca_context_play(context_, kSoundId, CA_PROP_EVENT_ID, kFallbackEvent, nullptr);
}

}  // namespace quillet::platform
