// The generator's version stamp: a hash of its sources, written to the
// manifest so that a changed generator regenerates what it wrote before.
#pragma once

const char* GeneratorStamp();
