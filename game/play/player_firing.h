// Volleys of player shots by fighter, power and focus.
#pragma once

int FirePlayerShots();
