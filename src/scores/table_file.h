#pragma once

#include <array>
#include <string>
#include <sys/types.h>

#include "scores/high_score_table.h"

// The table's bytes exactly as they travel inside the packed file.
using TablePayload = std::array<unsigned char, HIGH_SCORE_FILE_BYTES>;

// Reads a whole table from a packed file. False when the name is not a
// regular file (a FIFO or a device is never opened), cannot be read, is
// not a packed file, holds more or less than one table, or has a name with
// a character the name entry cannot type (below 32 or above 127).
bool readTableFile(const char* fileName, TablePayload& payload);

// The file a table's name leads to, symbolic links followed (it need not
// exist yet); empty when the links go round in a loop.
std::string tableTarget(const char* fileName);
// The mode a new table gets: what the umask lets through, but always readable
// and writable by its owner, or its first save would freeze it for good.
mode_t newTableMode();

// Writes the table so that the file ends up either holding exactly the new
// table or byte for byte as it was. Links are followed and stay links, and the
// file keeps its permission bits and group. A table of another user or group,
// or a hard-linked one, is rewritten in place so that it keeps its owner,
// group and links. A file its owner may not write, one we may not read or
// write, or one that is not a regular file is left alone. True when the file
// now holds the table.
bool writeTableFile(const char* fileName, const TablePayload& payload);
