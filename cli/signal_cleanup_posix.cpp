#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "signal_cleanup.h"

namespace cli {
namespace {

constexpr int EndingSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Fixed room, read by the handler without locks: a name is complete before
// its folder is set, and its folder is cleared before the slot is given back.
struct Slot {
  std::atomic<bool> taken{false};
  std::atomic<int> folder{-1};
  char name[NAME_MAX + 1];
};
Slot slots[8];

extern "C" void RemoveNamesAndEnd(int signal) {
  for (Slot& slot : slots) {
    if (const int folder = slot.folder.load(std::memory_order_acquire); folder >= 0) unlinkat(folder, slot.name, 0);
  }
  // Blocked while this handler runs, the signal raised again arrives on its
  // return, with the default action now: the process ends by it.
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  sigaction(signal, &standard, nullptr);
  raise(signal);
}

// Where the process already ignores a signal (nohup) or handles it, that stays.
void InstallHandlers() {
  for (const int signal : EndingSignals) {
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) != 0) continue;
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction removing {};
    removing.sa_handler = RemoveNamesAndEnd;
    sigfillset(&removing.sa_mask);
    sigaction(signal, &removing, nullptr);
  }
}

}  // namespace

RemovedOnSignal::RemovedOnSignal(int folder, std::string_view name) : slot_(-1) {
  static std::once_flag installed;
  std::call_once(installed, InstallHandlers);
  if (name.size() > NAME_MAX) return;
  for (int i = 0; i < static_cast<int>(std::size(slots)); ++i) {
    if (slots[i].taken.exchange(true, std::memory_order_acquire)) continue;
    *std::copy(name.begin(), name.end(), slots[i].name) = '\0';
    slots[i].folder.store(folder, std::memory_order_release);
    slot_ = i;
    return;
  }
}

RemovedOnSignal::~RemovedOnSignal() {
  if (slot_ < 0) return;
  slots[slot_].folder.store(-1, std::memory_order_release);
  slots[slot_].taken.store(false, std::memory_order_release);
}

}  // namespace cli
