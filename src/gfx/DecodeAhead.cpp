#include "gfx/DecodeAhead.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "platform/files/Files.h"

namespace decode_ahead {
namespace {

enum class State { Planned, Decoding, Done, Failed };
struct Entry {
  State state = State::Planned;
  platform::Image image;
};

std::mutex g_mu;
std::condition_variable g_decoded;
std::map<std::string, Entry> g_entries;
std::deque<std::string> g_queue;  // planned paths in decoding order
bool g_open = false;              // between Plan and Finish
size_t g_served = 0;

}  // namespace

void Plan(const std::vector<std::string>& foundPaths) {
  std::lock_guard lock(g_mu);
  for (auto it = g_entries.begin(); it != g_entries.end();)
    it = it->second.state == State::Planned ? g_entries.erase(it) : ++it;
  g_queue.clear();
  g_open = true;
  for (const std::string& path : foundPaths) {
    if (!g_entries.emplace(path, Entry{}).second) continue;  // named twice: decoded once
    g_queue.push_back(path);
  }
}

void Run() {
  for (;;) {
    std::string path;
    {
      std::lock_guard lock(g_mu);
      while (!g_queue.empty()) {
        path = std::move(g_queue.front());
        g_queue.pop_front();
        auto it = g_entries.find(path);
        if (it != g_entries.end() && it->second.state == State::Planned) {
          it->second.state = State::Decoding;
          break;
        }
        path.clear();  // claimed by a load or dropped meanwhile
      }
      if (path.empty()) return;
    }
    // The same reading and decoding as the texture load's own.
    std::string bytes;
    platform::Image image;
    const bool ok = platform::ReadWholeFile(path, bytes, platform::file_caps::kPicture, false) && platform::DecodeImage(bytes, path, image, nullptr);
    {
      std::lock_guard lock(g_mu);
      auto it = g_entries.find(path);
      if (it != g_entries.end() && !g_open) {
        g_entries.erase(it);  // start-up ended while it was decoded
      } else if (it != g_entries.end()) {
        it->second.state = ok ? State::Done : State::Failed;
        it->second.image = std::move(image);
      }
    }
    g_decoded.notify_all();
  }
}

bool Take(const std::string& foundPath, platform::Image& out) {
  std::unique_lock lock(g_mu);
  auto it = g_entries.find(foundPath);
  if (it == g_entries.end()) return false;
  g_decoded.wait(lock, [&] {
    it = g_entries.find(foundPath);
    return it == g_entries.end() || it->second.state != State::Decoding;
  });
  if (it == g_entries.end()) return false;
  const bool ok = it->second.state == State::Done;
  if (ok) {
    out = std::move(it->second.image);
    ++g_served;
  }
  g_entries.erase(it);  // each planned picture serves one load; a later one reads the file
  return ok;
}

void Finish() {
  std::lock_guard lock(g_mu);
  g_queue.clear();
  g_open = false;
  // One being decoded stays until the worker is done with it, which then
  // frees it (or hands it to a load waiting for it).
  for (auto it = g_entries.begin(); it != g_entries.end();)
    it = it->second.state == State::Decoding ? ++it : g_entries.erase(it);
}

size_t Served() {
  std::lock_guard lock(g_mu);
  return g_served;
}

}  // namespace decode_ahead
