// Volleys of player shots by fighter, power and focus.
#pragma once

int FirePlayerShots();
int FireVolleyFighter0();
int FireVolleyFighter1();
int FireVolleyFighter2();
int FireVolleyFighter34();
