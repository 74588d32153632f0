// Writes the seed corpus of kit_reader_fuzz into an existing directory.
#pragma once
#include <string>

// True when every seed was written; messages go to stderr.
bool WriteKitFuzzSeeds(const std::string& dir);
