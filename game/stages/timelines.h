// The stage timelines: each fires the events of its stage for one stage frame.
#pragma once

int RunStage1Timeline(int frame);
int RunStage2Timeline(int frame);
int RunStage3Timeline(int frame);
int RunStage4Timeline(int frame);
int RunStage5Timeline(int frame);
int RunExtraStageTimeline(int frame);
