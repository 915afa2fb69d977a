// HALCYRIS program entry.
#include "kesto/kesto.h"

int main() {
  if (StartLibrary() == -1) return -1;
  while (PumpFrameMessages() == 0) {
  }
  StopLibrary();
  return 0;
}
