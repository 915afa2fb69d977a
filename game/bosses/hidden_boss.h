// The hidden boss (type 250): one handler per life state and its fire
// patterns, one set for every difficulty.
#pragma once

#include <cstdint>

struct EnemyObject;

void EnterBossType250(EnemyObject& e);
void RunBossType250Phase1(EnemyObject& e);
void BreakBossType250Phase1(EnemyObject& e);
void RunBossType250Phase2(EnemyObject& e);
void BreakBossType250Phase2(EnemyObject& e);
void RunBossType250Phase3(EnemyObject& e);
void BreakBossType250Phase3(EnemyObject& e);
void RunBossType250Phase4(EnemyObject& e);
void RunBossType250Death(EnemyObject& e);

void FireType250PatternA(EnemyObject& e);
void FireType250PatternB(EnemyObject& e);
void FireType250PatternC(EnemyObject& e);
void FireType250Phase2PatternA(EnemyObject& e, int side);
void FireType250Phase2PatternB(EnemyObject& e);
void FireType250Phase3PatternA(EnemyObject& e);
void FireType250Phase4PatternA(EnemyObject& e);

// 1 once phase 3 has left the anchor at its low point: from then on the
// anchor (pod 0) no longer follows the boss.
int32_t& Type250AnchorHeld(EnemyObject& e);
// The side of phase 2, drawn once as the phase starts.
int32_t& Type250Phase2Side(EnemyObject& e);
