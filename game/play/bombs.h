// The player's bombs.
#pragma once

int UpdatePlayerBomb();
