#include "platform/audio/notify.h"

#include <mutex>

namespace platform::audio {

namespace {

std::mutex g_mutex;
std::vector<Notification> g_waiting;

}  // namespace

void PostNotification(const Notification& notification) {
  std::lock_guard lock(g_mutex);
  g_waiting.push_back(notification);
}

std::vector<Notification> TakeNotifications() {
  std::lock_guard lock(g_mutex);
  std::vector<Notification> out;
  out.swap(g_waiting);
  return out;
}

}  // namespace platform::audio
