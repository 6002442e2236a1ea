#pragma once

#include <string>

// Synthesises the five sound effects as WAV files in a directory.
void writeSounds(const std::string& dir);
