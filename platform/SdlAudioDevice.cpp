#include "platform/SdlAudioDevice.h"

#include <SDL.h>

namespace halcyra {

SdlAudioDevice::~SdlAudioDevice() { Close(); }

bool SdlAudioDevice::Open(int sampleRate, AudioCallback& callback) {
  Close();
  lastError_.clear();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    lastError_ = SDL_GetError();
    return false;
  }
  subsystemStarted_ = true;
  callback_ = &callback;
  SDL_AudioSpec wanted{};
  wanted.freq = sampleRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kChannels;
  wanted.samples = kCallbackFrames;
  wanted.callback = &SdlAudioDevice::Callback;
  wanted.userdata = this;
  SDL_AudioSpec obtained{};
  // No changes allowed: SDL converts our format to the card's behind the callback.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device_ == 0) {
    lastError_ = SDL_GetError();
    Close();
    return false;
  }
  sampleRate_ = sampleRate;
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void SdlAudioDevice::Close() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  device_ = 0;
  callback_ = nullptr;
  sampleRate_ = 0;
  if (subsystemStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  subsystemStarted_ = false;
}

void SdlAudioDevice::Lock() {
  if (device_ != 0) SDL_LockAudioDevice(device_);
}

void SdlAudioDevice::Unlock() {
  if (device_ != 0) SDL_UnlockAudioDevice(device_);
}

void SdlAudioDevice::Callback(void* self, std::uint8_t* stream, int bytes) {
  auto* device = static_cast<SdlAudioDevice*>(self);
  device->callback_->Fill(reinterpret_cast<std::int16_t*>(stream),
                          static_cast<std::size_t>(bytes) / kBytesPerFrame);
}

}  // namespace halcyra
