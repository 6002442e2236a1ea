#pragma once

// Sets the fourth, unused byte of every palette entry in an uncompressed
// datafile to 0. The library's dat utility leaves whatever its memory held
// there, so without this two builds of the same sources differ. False when
// the file cannot be read, is not an uncompressed datafile, or cannot be
// written back.
bool clearPalettePadding(const char* fileName);
