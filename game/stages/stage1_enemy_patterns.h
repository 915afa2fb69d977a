// The per-difficulty fire patterns and life-switch halves of the enemy types
// that stage 1 brings in (types 0-6 and 8-10). The scripts call them; each
// takes the enemy and returns 0.
#pragma once

struct EnemyObject;

int FireType0Heaven(EnemyObject& e);
int FireType0Original(EnemyObject& e);
int FireType0Hell(EnemyObject& e);
int FireType1Heaven(EnemyObject& e);
int FireType1Original(EnemyObject& e);
int FireType1Hell(EnemyObject& e);
int FireType2Heaven(EnemyObject& e);
int FireType2Original(EnemyObject& e);
int FireType2Hell(EnemyObject& e);
int FireType3Heaven(EnemyObject& e);
int FireType3Original(EnemyObject& e);
int FireType3Hell(EnemyObject& e);
int FireType4Variant0Heaven(EnemyObject& e);
int FireType4Variant0Original(EnemyObject& e);
int FireType4Variant0Hell(EnemyObject& e);
int FireType4Variant1Heaven(EnemyObject& e);
int FireType4Variant1Original(EnemyObject& e);
int FireType4Variant1Hell(EnemyObject& e);
int RunEnemyType5Alive(EnemyObject& e);
int RunEnemyType5Death(EnemyObject& e);
int FireType5Heaven(EnemyObject& e);
int FireType5Original(EnemyObject& e);
int FireType5Hell(EnemyObject& e);
int RunEnemyType6Alive(EnemyObject& e);
int RunEnemyType6Death(EnemyObject& e);
int FireType6PatternAHeaven(EnemyObject& e);
int FireType6PatternAOriginal(EnemyObject& e);
int FireType6PatternAHell(EnemyObject& e);
int FireType6PatternBHeaven(EnemyObject& e);
int FireType6PatternBOriginal(EnemyObject& e);
int FireType6PatternBHell(EnemyObject& e);
int FireType8Heaven(EnemyObject& e);
int FireType8Original(EnemyObject& e);
int FireType8Hell(EnemyObject& e);
int FireType9Heaven(EnemyObject& e);
int FireType9Original(EnemyObject& e);
int FireType9Hell(EnemyObject& e);
int FireType10Heaven(EnemyObject& e);
int FireType10Original(EnemyObject& e);
int FireType10Hell(EnemyObject& e);
