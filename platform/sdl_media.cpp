// Plays WAVE files through SDL2's audio output.
#include "platform/sdl_media.hpp"

#include "platform/binary_file.hpp"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <climits>
#include <cstring>
#include <new>
#include <thread>
#include <utility>
#include <vector>

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
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
  decltype(&SDL_LockAudioDevice) LockAudioDevice;
  decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
  decltype(&SDL_NewAudioStream) NewAudioStream;
  decltype(&SDL_AudioStreamPut) AudioStreamPut;
  decltype(&SDL_AudioStreamGet) AudioStreamGet;
  decltype(&SDL_AudioStreamFlush) AudioStreamFlush;
  decltype(&SDL_FreeAudioStream) FreeAudioStream;
  decltype(&SDL_GetDefaultAudioInfo) GetDefaultAudioInfo;  // since SDL 2.24; may be missing
};

// Null when the library or one of its functions is missing.
const SdlApi* sdl() {
  static const SdlApi* const api = []() -> const SdlApi* {
    void* library = ::dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    static SdlApi loaded;
    bool complete = true;
    const auto bind = [&](auto& function, const char* name, bool needed = true) {
      function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(library, name));
      complete = complete && (function || !needed);
    };
    bind(loaded.SetHint, "SDL_SetHint");
    bind(loaded.InitSubSystem, "SDL_InitSubSystem");
    bind(loaded.QuitSubSystem, "SDL_QuitSubSystem");
    bind(loaded.RWFromConstMem, "SDL_RWFromConstMem");
    bind(loaded.LoadWAV_RW, "SDL_LoadWAV_RW");
    bind(loaded.FreeWAV, "SDL_FreeWAV");
    bind(loaded.OpenAudioDevice, "SDL_OpenAudioDevice");
    bind(loaded.PauseAudioDevice, "SDL_PauseAudioDevice");
    bind(loaded.LockAudioDevice, "SDL_LockAudioDevice");
    bind(loaded.UnlockAudioDevice, "SDL_UnlockAudioDevice");
    bind(loaded.CloseAudioDevice, "SDL_CloseAudioDevice");
    bind(loaded.NewAudioStream, "SDL_NewAudioStream");
    bind(loaded.AudioStreamPut, "SDL_AudioStreamPut");
    bind(loaded.AudioStreamGet, "SDL_AudioStreamGet");
    bind(loaded.AudioStreamFlush, "SDL_AudioStreamFlush");
    bind(loaded.FreeAudioStream, "SDL_FreeAudioStream");
    bind(loaded.GetDefaultAudioInfo, "SDL_GetDefaultAudioInfo", false);
    return complete ? &loaded : nullptr;
  }();
  return api;
}

// SDL's close waits for its audio thread to play out what the device holds (three
// buffers or so, about 60 ms). That is done beside the program, so that closing a window
// does not wait on it; the next device opened, and the program's end, wait for it.
class DeviceCloser {
 public:
  DeviceCloser() = default;
  DeviceCloser(const DeviceCloser&) = delete;
  DeviceCloser& operator=(const DeviceCloser&) = delete;
  ~DeviceCloser() { wait(); }

  // Runs `close` once the previous one has finished.
  template <typename Close>
  void start(Close&& close) {
    wait();
    thread_ = std::thread(std::forward<Close>(close));
  }
  void wait() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

DeviceCloser& closer() {
  static DeviceCloser instance;
  return instance;
}

constexpr int kFallbackRate = 48000;
// Long enough that a busy machine does not starve the server, short enough that what the
// server already holds when a sound is stopped (about one buffer, still heard) stays under
// 50 ms: at 40 ms buffers a stop was heard some 65 ms late.
constexpr double kBufferSeconds = 0.02;
// Silent buffers that follow a sound's end before it counts as played: the device's and
// the server's own buffering, so that its last samples have been heard.
constexpr int kTrailingBuffers = 2;
// The sound's samples are put into the converter this many at a time.
constexpr std::size_t kPutBytes = 4096;

}  // namespace

// What SDL's audio thread and the program share, under the device's lock.
struct SdlMedia::Device {
  SDL_AudioDeviceID id = 0;
  SDL_AudioSpec spec{};  // as opened
  // The sound that plays: its samples at its own rate, what of them has gone into the
  // converter, and what the device has been given of it.
  std::vector<Uint8> sound;
  std::size_t put = 0;
  SDL_AudioStream* stream = nullptr;
  double soundSeconds = 0;
  std::uint64_t framesGiven = 0;  // of the sound, at the device's rate
  int silentBuffers = 0;          // given since the sound's end
  std::atomic<bool> done{true};

  void drop_sound() {
    if (stream) sdl()->FreeAudioStream(stream);
    stream = nullptr;
    sound.clear();
    sound.shrink_to_fit();
    put = 0;
  }

  // SDL's audio thread asks for the next buffer: the sound converted, then silence.
  static void SDLCALL fill(void* self, Uint8* out, int bytes) { static_cast<Device*>(self)->fill(out, bytes); }
  void fill(Uint8* out, int bytes) {
    int given = 0;
    const int frameBytes = spec.channels * static_cast<int>(SDL_AUDIO_BITSIZE(spec.format) / 8);
    while (stream && given < bytes) {
      const int got = sdl()->AudioStreamGet(stream, out + given, bytes - given);
      if (got > 0) {
        given += got;
        continue;
      }
      if (put >= sound.size()) break;  // converted to its end
      const std::size_t n = std::min(kPutBytes, sound.size() - put);
      if (sdl()->AudioStreamPut(stream, sound.data() + put, static_cast<int>(n)) != 0) break;
      put += n;
      if (put >= sound.size()) sdl()->AudioStreamFlush(stream);
    }
    framesGiven += static_cast<std::uint64_t>(given / frameBytes);
    std::memset(out + given, spec.silence, static_cast<std::size_t>(bytes - given));
    if (given < bytes && !done.load()) {
      if (++silentBuffers > kTrailingBuffers) done = true;
    }
  }
};

SdlMedia::SdlMedia(const Drive& drive) : drive_(drive) {}

SdlMedia::~SdlMedia() {
  if (!audio_ready_) return;
  stop();
  // The device's thread reads the Device until the close returns: it goes with the close.
  closer().start([device = std::move(device_)] {
    if (device && device->id != 0) sdl()->CloseAudioDevice(device->id);
    sdl()->QuitSubSystem(SDL_INIT_AUDIO);
  });
}

bool SdlMedia::open_device() {
  const SdlApi* api = sdl();
  if (!api) return false;
  if (!audio_ready_) {
    closer().wait();  // SDL's audio calls are made from one thread at a time
    // SDL would catch SIGINT and SIGTERM for an event loop this program does not run,
    // and the program would no longer end when asked to.
    api->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    audio_ready_ = api->InitSubSystem(SDL_INIT_AUDIO) == 0;
  }
  if (!audio_ready_) return false;
  if (device_ && device_->id != 0) return true;
  device_ = std::make_unique<Device>();
  SDL_AudioSpec want{};
  want.freq = kFallbackRate;
  if (SDL_AudioSpec preferred{}; api->GetDefaultAudioInfo && api->GetDefaultAudioInfo(nullptr, &preferred, 0) == 0 &&
                                 preferred.freq > 0) {
    want.freq = preferred.freq;
  }
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = static_cast<Uint16>(std::bit_ceil(static_cast<unsigned>(want.freq * kBufferSeconds)));
  want.callback = &Device::fill;
  want.userdata = device_.get();
  device_->id = api->OpenAudioDevice(nullptr, 0, &want, &device_->spec, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
  return device_->id != 0;
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
  SDL_AudioSpec spec{};
  Uint8* samples = nullptr;
  Uint32 length = 0;
  SDL_RWops* source = api->RWFromConstMem(file.get(), static_cast<int>(size));
  if (!api->LoadWAV_RW(source, 1, &spec, &samples, &length)) return;
  if (!open_device()) {
    api->FreeWAV(samples);
    return;
  }
  Device& d = *device_;
  SDL_AudioStream* stream =
      api->NewAudioStream(spec.format, spec.channels, spec.freq, d.spec.format, d.spec.channels, d.spec.freq);
  if (stream) {
    api->LockAudioDevice(d.id);
    d.sound.assign(samples, samples + length);
    d.stream = stream;
    d.soundSeconds = static_cast<double>(length) / (spec.freq * spec.channels * SDL_AUDIO_BITSIZE(spec.format) / 8);
    d.framesGiven = 0;
    d.silentBuffers = 0;
    d.done = false;
    api->UnlockAudioDevice(d.id);
    api->PauseAudioDevice(d.id, 0);
  }
  api->FreeWAV(samples);
}

std::optional<Playback> SdlMedia::playing() const {
  if (!device_ || device_->done.load()) return std::nullopt;
  const Device& d = *device_;
  sdl()->LockAudioDevice(d.id);
  const double given = static_cast<double>(d.framesGiven) / d.spec.freq;
  const double length = d.soundSeconds;
  sdl()->UnlockAudioDevice(d.id);
  return Playback{std::min(given, length), length};
}

void SdlMedia::wait_until_done() {
  if (!device_) return;
  using namespace std::chrono_literals;
  // The device asks for buffers at its own pace: the sound is played once the buffers
  // after its end have gone too.
  while (!device_->done.load()) std::this_thread::sleep_for(2ms);
  stop();
}

void SdlMedia::stop() {
  if (!device_ || device_->id == 0) return;
  Device& d = *device_;
  // Paused first: the device asks for nothing more, and plays out only what it holds.
  sdl()->PauseAudioDevice(d.id, 1);
  sdl()->LockAudioDevice(d.id);
  d.drop_sound();
  d.done = true;
  sdl()->UnlockAudioDevice(d.id);
}

}  // namespace platform
