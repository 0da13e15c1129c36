// Plays WAVE files through SDL2's audio output.
#include "platform/sdl_media.hpp"

#include "platform/binary_file.hpp"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <climits>
#include <memory>
#include <new>
#include <thread>

namespace platform {
namespace {

// SDL is opened on the first play, so that a conversion that plays nothing never loads it,
// nor the display and sound-server libraries that it brings along.
struct SdlApi {
  decltype(&SDL_SetHint) SetHint;
  decltype(&SDL_InitSubSystem) InitSubSystem;
  decltype(&SDL_QuitSubSystem) QuitSubSystem;
  decltype(&SDL_RWFromConstMem) RWFromConstMem;
  decltype(&SDL_LoadWAV_RW) LoadWAV_RW;
  decltype(&SDL_FreeWAV) FreeWAV;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
  decltype(&SDL_QueueAudio) QueueAudio;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
  decltype(&SDL_GetQueuedAudioSize) GetQueuedAudioSize;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
  decltype(&SDL_ClearQueuedAudio) ClearQueuedAudio;
};

// Null when the library or one of its functions is missing.
const SdlApi* sdl() {
  static const SdlApi* const api = []() -> const SdlApi* {
    void* library = ::dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    static SdlApi loaded;
    bool complete = true;
    const auto bind = [&](auto& function, const char* name) {
      function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(library, name));
      complete = complete && function;
    };
    bind(loaded.SetHint, "SDL_SetHint");
    bind(loaded.InitSubSystem, "SDL_InitSubSystem");
    bind(loaded.QuitSubSystem, "SDL_QuitSubSystem");
    bind(loaded.RWFromConstMem, "SDL_RWFromConstMem");
    bind(loaded.LoadWAV_RW, "SDL_LoadWAV_RW");
    bind(loaded.FreeWAV, "SDL_FreeWAV");
    bind(loaded.OpenAudioDevice, "SDL_OpenAudioDevice");
    bind(loaded.QueueAudio, "SDL_QueueAudio");
    bind(loaded.PauseAudioDevice, "SDL_PauseAudioDevice");
    bind(loaded.GetQueuedAudioSize, "SDL_GetQueuedAudioSize");
    bind(loaded.CloseAudioDevice, "SDL_CloseAudioDevice");
    bind(loaded.ClearQueuedAudio, "SDL_ClearQueuedAudio");
    return complete ? &loaded : nullptr;
  }();
  return api;
}

}  // namespace

SdlMedia::~SdlMedia() {
  stop();
  if (audio_ready_) sdl()->QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlMedia::play(std::string_view path) {
  stop();
  // Through the file layer: a folder, a pipe or a device named like the sound plays
  // nothing (and waits on nothing), and nothing here throws.
  FailureFlag passedOver;
  BinaryFile in(drive_.resolve(path), BinaryFile::Mode::Reading, passedOver);
  const std::int64_t size = in.length();
  if (size <= 0 || size > INT_MAX) return;
  const auto bytes = static_cast<std::size_t>(size);
  std::unique_ptr<char[]> file(new (std::nothrow) char[bytes]);
  if (!file || in.read(file.get(), bytes) != bytes) return;
  in.close();

  const SdlApi* api = sdl();
  if (!api) return;
  if (!audio_ready_) {
    // SDL would catch SIGINT and SIGTERM for an event loop this program does not run,
    // and the program would no longer end when asked to.
    api->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    audio_ready_ = api->InitSubSystem(SDL_INIT_AUDIO) == 0;
  }
  if (!audio_ready_) return;

  SDL_AudioSpec spec{};
  Uint8* samples = nullptr;
  Uint32 length = 0;
  SDL_RWops* source = api->RWFromConstMem(file.get(), static_cast<int>(size));
  if (!api->LoadWAV_RW(source, 1, &spec, &samples, &length)) return;

  spec.callback = nullptr;  // queued audio; SDL converts to the device's rate and format
  // Buffers of about 5 ms: closing a device lets it play two more
  // buffers, and SDL's default of 4096 samples lasts 10 s at the slowest speed.
  spec.samples = static_cast<Uint16>(std::max(8u, std::bit_floor(static_cast<unsigned>(spec.freq) / 200)));
  device_ = api->OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
  if (device_ != 0) {
    api->QueueAudio(device_, samples, length);
    api->PauseAudioDevice(device_, 0);
    length_ = length;
    bytesPerSecond_ = static_cast<double>(spec.freq) * spec.channels * SDL_AUDIO_BITSIZE(spec.format) / 8;
  }
  api->FreeWAV(samples);
}

std::optional<Playback> SdlMedia::playing() const {
  if (device_ == 0 || bytesPerSecond_ <= 0) return std::nullopt;
  const Uint32 queued = sdl()->GetQueuedAudioSize(device_);
  if (queued == 0) return std::nullopt;
  return Playback{(length_ - std::min(queued, length_)) / bytesPerSecond_, length_ / bytesPerSecond_};
}

void SdlMedia::wait_until_done() {
  if (device_ == 0) return;
  using namespace std::chrono_literals;
  while (sdl()->GetQueuedAudioSize(device_) > 0) std::this_thread::sleep_for(10ms);
  // The device still holds its last buffer; let it sound before closing.
  std::this_thread::sleep_for(100ms);
  stop();
}

void SdlMedia::stop() {
  if (device_ == 0) return;
  sdl()->ClearQueuedAudio(device_);
  sdl()->CloseAudioDevice(device_);
  device_ = 0;
}

}  // namespace platform
