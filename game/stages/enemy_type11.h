// The fire patterns of type 11, the large craft of stage 2: pattern A (two
// aimed fans) and pattern B (three fans held at their first aim), each by
// difficulty. UpdateEnemyType11 calls them in its burst cycle.
#pragma once

struct EnemyObject;

int FireType11PatternAHeaven(EnemyObject& e);
int FireType11PatternAOriginal(EnemyObject& e);
int FireType11PatternAHell(EnemyObject& e);
int FireType11PatternBHeaven(EnemyObject& e);
int FireType11PatternBOriginal(EnemyObject& e);
int FireType11PatternBHell(EnemyObject& e);
