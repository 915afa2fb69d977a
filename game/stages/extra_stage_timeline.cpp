// The extra stage: its boss alone.
#include "stages/timeline.h"
#include "stages/timelines.h"

namespace {

constexpr TimelineRow kExtraStageRows[] = {
    Spawn(At(200), 250, 0, 180, 240),
};

}  // namespace

int RunExtraStageTimeline(int frame) {
  static const std::vector<TimelineEvent> events = ExpandTimeline(kExtraStageRows);
  return RunTimeline(events, frame);
}
