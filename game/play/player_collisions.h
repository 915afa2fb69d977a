// Item pickup, the guard's bullet erasing, bullet and body hits, the miss.
#pragma once

int PickUpItems();
int CollidePlayerWithBullets();
int CollidePlayerWithEnemies();
int PlayerMiss();
int TakePowerItem();
int TakeBombItem();
int TakeLifeItem();
