#include "shell/game_flags.h"

GameFlags g_flags{};
