// The library's call lock, held by every public entry point but the timed wait.
#pragma once

void AcquireApiLock();
void ReleaseApiLock();
