// The fighter, its options, muzzle flashes, forms, core marker and shield,
// and the HUD feed. Drawing advances some of the player's state.
#pragma once

int DrawOptions();
int DrawMuzzleFlashes();
int DrawGuardShield();
