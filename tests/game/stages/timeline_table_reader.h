// Reads a stage's event table as text (one markdown row per table row) and
// unfolds it on its own, to give the golden event list of a timeline.
#pragma once

#include <string>
#include <vector>

#include "timeline_recording.h"

struct GoldenEvent {
  RecordedEvent event;
  bool gated = false;
};

// Throws std::runtime_error on a row it cannot read.
std::vector<GoldenEvent> ReadTimelineTable(const std::string& path);

// The fixture of that name under tests/game/stages/data.
std::string TimelineFixturePath(const std::string& name);
