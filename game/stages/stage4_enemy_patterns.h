// The per-difficulty fire patterns and life-switch halves of the enemy types
// that stage 4 brings in (types 21-27 and 35). The scripts call them; each
// takes the enemy and returns 0.
#pragma once

struct EnemyObject;

int FireType21Heaven(EnemyObject& e);
int FireType21Original(EnemyObject& e);
int FireType21Hell(EnemyObject& e);
int FireType22Heaven(EnemyObject& e);
int FireType22Original(EnemyObject& e);
int FireType22Hell(EnemyObject& e);
int FireType23Heaven(EnemyObject& e);
int FireType23Original(EnemyObject& e);
int FireType23Hell(EnemyObject& e);
int FireType24Heaven(EnemyObject& e);
int FireType24Original(EnemyObject& e);
int FireType24Hell(EnemyObject& e);
int FireType25Heaven(EnemyObject& e);
int FireType25Original(EnemyObject& e);
int FireType25Hell(EnemyObject& e);
int FireType26Heaven(EnemyObject& e);
int FireType26Original(EnemyObject& e);
int FireType26Hell(EnemyObject& e);
int RunEnemyType27Alive(EnemyObject& e);
int RunEnemyType27Death(EnemyObject& e);
int FireType27Heaven(EnemyObject& e);
int FireType27Original(EnemyObject& e);
int FireType27Hell(EnemyObject& e);
int FireType35Heaven(EnemyObject& e);
int FireType35Original(EnemyObject& e);
int FireType35Hell(EnemyObject& e);
