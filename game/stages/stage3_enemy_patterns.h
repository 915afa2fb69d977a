// The per-difficulty fire patterns and life-switch halves of the enemy types
// that stage 3 brings in (types 16-20). The scripts call them; each takes the
// enemy and returns 0.
#pragma once

struct EnemyObject;

int FireType16Heaven(EnemyObject& e);
int FireType16Original(EnemyObject& e);
int FireType16Hell(EnemyObject& e);
int FireType17Heaven(EnemyObject& e);
int FireType17Original(EnemyObject& e);
int FireType17Hell(EnemyObject& e);
int FireType18Heaven(EnemyObject& e);
int FireType18Original(EnemyObject& e);
int FireType18Hell(EnemyObject& e);
int RunEnemyType19Alive(EnemyObject& e);
int RunEnemyType19Death(EnemyObject& e);
int FireType19PatternAHeaven(EnemyObject& e);
int FireType19PatternAOriginal(EnemyObject& e);
int FireType19PatternAHell(EnemyObject& e);
int FireType19PatternBHeaven(EnemyObject& e);
int FireType19PatternBOriginal(EnemyObject& e);
int FireType19PatternBHell(EnemyObject& e);
int RunEnemyType20Alive(EnemyObject& e);
int RunEnemyType20Death(EnemyObject& e);
int FireType20Heaven(EnemyObject& e);
int FireType20Original(EnemyObject& e);
int FireType20Hell(EnemyObject& e);
