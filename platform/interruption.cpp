// What the program does when it is asked to end.
#include "platform/interruption.hpp"

#include <pthread.h>
#include <unistd.h>

#include <thread>

#include "platform/replacement.hpp"

namespace platform {
namespace {

sigset_t startupMask;
bool maskSaved = false;

}  // namespace

void end_cleanly_on_interruption() {
  if (maskSaved) return;
  ::pthread_sigmask(SIG_SETMASK, nullptr, &startupMask);
  maskSaved = true;
  sigset_t caught;
  sigemptyset(&caught);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) sigaddset(&caught, signal);
  }
  // Taken by a thread in ordinary code rather than in a handler: it may then wait for a
  // commit under way and take locks, which a handler must not.
  ::pthread_sigmask(SIG_BLOCK, &caught, nullptr);
  std::thread([caught] {
    int signal = 0;
    while (::sigwait(&caught, &signal) != 0) {
    }
    abandon_replacements();
    // Ends by the signal itself, now delivered as the system would have at first.
    ::signal(signal, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);
  }).detach();
}

sigset_t startup_signal_mask() {
  if (maskSaved) return startupMask;
  sigset_t current;
  ::pthread_sigmask(SIG_SETMASK, nullptr, &current);
  return current;
}

}  // namespace platform
