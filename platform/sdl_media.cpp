// Plays WAVE files through SDL2's audio output.
#include "platform/sdl_media.hpp"

#include <SDL.h>

#include <chrono>
#include <climits>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

namespace platform {

SdlMedia::~SdlMedia() {
  stop();
  if (audio_ready_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlMedia::play(std::string_view path) {
  stop();
  std::ifstream in(drive_.resolve(path), std::ios::binary);
  const std::vector<char> file{std::istreambuf_iterator<char>(in), {}};
  if (file.empty() || file.size() > INT_MAX) return;

  if (!audio_ready_) audio_ready_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (!audio_ready_) return;

  SDL_AudioSpec spec{};
  Uint8* samples = nullptr;
  Uint32 length = 0;
  SDL_RWops* source = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
  if (!SDL_LoadWAV_RW(source, 1, &spec, &samples, &length)) return;

  spec.callback = nullptr;  // queued audio
  device_ = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
  if (device_ != 0) {
    bytes_per_second_ =
        static_cast<std::uint32_t>(spec.freq) * spec.channels * SDL_AUDIO_BITSIZE(spec.format) / 8;
    SDL_QueueAudio(device_, samples, length);
    SDL_PauseAudioDevice(device_, 0);
  }
  SDL_FreeWAV(samples);
}

void SdlMedia::wait_until_done() {
  if (device_ == 0) return;
  using namespace std::chrono_literals;
  while (SDL_GetQueuedAudioSize(device_) > 0) std::this_thread::sleep_for(10ms);
  // The device still holds its last buffer; let it sound before closing.
  std::this_thread::sleep_for(100ms);
  stop();
}

void SdlMedia::stop() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  device_ = 0;
}

}  // namespace platform
