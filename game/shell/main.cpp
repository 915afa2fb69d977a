// HALCYRIS program entry.
#include "shell/program.h"

int main() { return RunProgram(); }
