#include "timeline_table_reader.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>
#include <tuple>

#include "shell/game_math.h"

namespace {

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) {
    s.replace(at, from.size(), to);
  }
  return s;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::string cur;
  for (size_t i = 1; i < line.size(); ++i) {
    if (line[i] == '|') {
      cells.push_back(Trim(cur));
      cur.clear();
    } else {
      cur += line[i];
    }
  }
  return cells;
}

// Matches `text` against `pattern`, where each %n stands for a whole number
// (optionally negative) and everything else must appear as written.
std::optional<std::vector<int>> Match(const std::string& text, const std::string& pattern) {
  std::vector<int> numbers;
  size_t t = 0;
  for (size_t p = 0; p < pattern.size(); ++p) {
    if (pattern.compare(p, 2, "%n") == 0) {
      size_t start = t;
      if (t < text.size() && text[t] == '-') ++t;
      size_t digits = t;
      while (t < text.size() && text[t] >= '0' && text[t] <= '9') ++t;
      if (t == digits) return std::nullopt;
      numbers.push_back(std::stoi(text.substr(start, t - start)));
      ++p;
    } else if (t < text.size() && text[t] == pattern[p]) {
      ++t;
    } else {
      return std::nullopt;
    }
  }
  if (t != text.size()) return std::nullopt;
  return numbers;
}

[[noreturn]] void Fail(const std::string& what, const std::string& text) {
  throw std::runtime_error("cannot read " + what + ": '" + text + "'");
}

// The value of a position cell for the k-th event of its row, or the number
// of events the cell itself implies (rings) through `ring_count`.
struct Coordinate {
  std::string text;

  double At(int k) const {
    if (auto m = Match(text, "%n")) return (*m)[0];
    if (auto m = Match(text, "%n + %nk")) return (*m)[0] + static_cast<double>((*m)[1]) * k;
    if (auto m = Match(text, "%n - %nk")) return (*m)[0] - static_cast<double>((*m)[1]) * k;
    if (auto m = Match(text, "%n, %n alternately")) return (*m)[k % 2];
    if (auto m = Match(text, "%n, %n, %n in turn")) return (*m)[k % 3];
    if (auto m = Match(text, kRingX)) {
      double a = (*m)[2] + static_cast<double>((*m)[3] - (*m)[2]) * k;
      return (*m)[0] + (*m)[1] * CosDeg(a);
    }
    if (auto m = Match(text, "(%n*sin a - %n) - %n")) {
      double a = 60.0 * k;  // the angles are named by the x cell
      return ((*m)[0] * SinDeg(a) - (*m)[1]) - (*m)[2];
    }
    Fail("position", text);
  }

  // 0 when the cell does not name its own count.
  int RingCount() const {
    auto m = Match(text, kRingX);
    if (!m) return 0;
    return ((*m)[4] - (*m)[2]) / ((*m)[3] - (*m)[2]) + 1;
  }

  static constexpr const char* kRingX = "%n + %n*cos a (a = %n, %n, ..., %n)";
};

std::array<uint32_t, 4> Words(const std::string& args) {
  auto m = Match(args, "%n, %n");
  if (!m) Fail("args", args);
  std::array<uint32_t, 4> words{};
  for (int i = 0; i < 2; ++i) {
    auto bits = std::bit_cast<uint64_t>(static_cast<double>((*m)[i]));
    words[2 * i] = static_cast<uint32_t>(bits & 0xFFFFFFFFu);
    words[2 * i + 1] = static_cast<uint32_t>(bits >> 32);
  }
  return words;
}

}  // namespace

std::string TimelineFixturePath(const std::string& name) {
  return std::string(KESTO_SOURCE_DIR_PATH) + "/tests/game/stages/data/" + name;
}

std::vector<GoldenEvent> ReadTimelineTable(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::map<std::string, size_t> column;
  // (frame, row, k) orders the events: by frame, then table row, then k.
  std::vector<std::tuple<int, int, int, GoldenEvent>> keyed;
  std::vector<std::pair<int, int>> above;  // (frame, k) of the last row with frames
  std::string line;
  int row = 0;
  while (std::getline(in, line)) {
    if (line.rfind("| ", 0) != 0) continue;
    // Minus sign and en dash to '-', middle dot to '*', ellipsis to "..."
    // (spelt as bytes: narrow literals are not kept in UTF-8 here).
    line = ReplaceAll(line, "\xE2\x88\x92", "-");
    line = ReplaceAll(line, "\xE2\x80\x93", "-");
    line = ReplaceAll(line, "\xC2\xB7", "*");
    line = ReplaceAll(line, "\xE2\x80\xA6", "...");
    std::vector<std::string> cells = Cells(line);
    if (cells.at(0) == "Frame") {
      for (size_t i = 0; i < cells.size(); ++i) column[cells[i]] = i;
      continue;
    }
    auto cell = [&](const char* name) {
      auto it = column.find(name);
      return it == column.end() || it->second >= cells.size() ? std::string() : cells[it->second];
    };
    ++row;
    const std::string frame_text = cell("Frame");
    const std::string type_text = cell("Type");
    Coordinate x{cell("x")}, y{cell("y")};

    std::vector<std::pair<int, int>> frames;
    if (frame_text == "same") {
      frames = above;
    } else if (auto m = Match(frame_text, "%n")) {
      int count = std::max(1, x.RingCount());
      for (int k = 0; k < count; ++k) frames.emplace_back((*m)[0], k);
    } else if (auto m = Match(frame_text, "%n-%n every %n")) {
      int k = 0;
      for (int f = (*m)[0]; f <= (*m)[1]; f += (*m)[2]) frames.emplace_back(f, k++);
    } else if (auto m = Match(frame_text, "%n (%n at once)")) {
      for (int k = 0; k < (*m)[1]; ++k) frames.emplace_back((*m)[0], k);
    } else {
      Fail("frame", frame_text);
    }
    if (frame_text != "same") above = frames;

    for (auto [f, k] : frames) {
      GoldenEvent g;
      g.gated = cell("Gated") == "yes";
      RecordedEvent& e = g.event;
      e.frame = f;
      if (type_text == "start the stage title banner") {
        e.what = "title";
      } else if (type_text == "start the WARNING banner") {
        e.what = "warning";
      } else if (auto m = Match(type_text, "set scroll mode %n")) {
        e.what = "scroll";
        e.type = (*m)[0];
      } else if (auto m = Match(type_text, "set the mid-boss flag to %n")) {
        e.what = "midboss_flag";
        e.type = (*m)[0];
      } else {
        e.type = std::stoi(type_text);
        e.variant = std::stoi(cell("Var"));
        e.x = x.At(k);
        e.y = y.At(k);
        std::string args = cell("Args");
        e.what = args.empty() ? "spawn" : "spawn_args";
        if (!args.empty()) e.args = Words(args);
      }
      keyed.emplace_back(f, row, k, g);
    }
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return std::tie(std::get<0>(a), std::get<1>(a), std::get<2>(a)) <
           std::tie(std::get<0>(b), std::get<1>(b), std::get<2>(b));
  });
  std::vector<GoldenEvent> out;
  for (auto& t : keyed) out.push_back(std::get<3>(t));
  return out;
}
