#include "platform/audio/notify.h"

#include <mutex>

#include "platform/window/sdl_window.h"

namespace platform::audio {

namespace {

std::mutex g_mutex;
std::vector<Notification> g_waiting;

}  // namespace

void PostNotification(const Notification& notification) {
  if (notification.window == nullptr) return;
  // The program's window takes it through the window layer's thread-safe
  // post; without SDL windows it waits here for whoever drains it.
  if (platform::window::PostFromAnyThread(notification.message, notification.wparam, notification.lparam)) return;
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
