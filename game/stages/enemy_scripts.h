// Behaviour scripts of the regular enemies, wrecks and spawners, run by the
// enemy pass after the velocity step, and the revenge bursts of HELL.
#pragma once

struct EnemyObject;

int UpdateEnemyType0(EnemyObject& e);
int UpdateEnemyType1(EnemyObject& e);
int UpdateEnemyType2(EnemyObject& e);
int UpdateEnemyType3(EnemyObject& e);
int UpdateEnemyType4(EnemyObject& e);
int UpdateEnemyType5(EnemyObject& e);
int UpdateEnemyType6(EnemyObject& e);
int UpdateEnemyType7(EnemyObject& e);
int UpdateEnemyType8(EnemyObject& e);
int UpdateEnemyType9(EnemyObject& e);
int UpdateEnemyType10(EnemyObject& e);
int UpdateEnemyType11(EnemyObject& e);
int UpdateEnemyType12(EnemyObject& e);
int UpdateEnemyType13(EnemyObject& e);
int UpdateEnemyType14(EnemyObject& e);
int UpdateEnemyType15(EnemyObject& e);
int UpdateEnemyType16(EnemyObject& e);
int UpdateEnemyType17(EnemyObject& e);
int UpdateEnemyType18(EnemyObject& e);
int UpdateEnemyType19(EnemyObject& e);
int UpdateEnemyType20(EnemyObject& e);
int UpdateEnemyType21(EnemyObject& e);
int UpdateEnemyType22(EnemyObject& e);
int UpdateEnemyType23(EnemyObject& e);
int UpdateEnemyType24(EnemyObject& e);
int UpdateEnemyType25(EnemyObject& e);
int UpdateEnemyType26(EnemyObject& e);
int UpdateEnemyType27(EnemyObject& e);
int UpdateEnemyType28(EnemyObject& e);
int UpdateEnemyType29(EnemyObject& e);
int UpdateEnemyType30(EnemyObject& e);
int UpdateEnemyType31(EnemyObject& e);
int UpdateEnemyType32(EnemyObject& e);
int UpdateEnemyType33(EnemyObject& e);
int UpdateEnemyType34(EnemyObject& e);
int UpdateEnemyType35(EnemyObject& e);
int UpdateEnemyType36(EnemyObject& e);
int UpdateEnemyType37(EnemyObject& e);
int UpdateWreckType300(EnemyObject& e);
int UpdateWreckType302(EnemyObject& e);
int UpdateWreckType305(EnemyObject& e);
int UpdateSpawnerType301(EnemyObject& e);
int UpdateSpawnerType303(EnemyObject& e);
int UpdateSpawnerType304(EnemyObject& e);

int FireType0RevengeBurst(EnemyObject& e);
int FireType7RevengeBurst(EnemyObject& e);
int FireType9RevengeBurst(EnemyObject& e);
int FireType10RevengeBurst(EnemyObject& e);
int FireType13RevengeBurst(EnemyObject& e);
int FireType21RevengeBurst(EnemyObject& e);
int FireType31RevengeBurst(EnemyObject& e);
