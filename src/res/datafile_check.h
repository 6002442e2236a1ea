#pragma once

// True when the file is a complete datafile that holds exactly the objects of
// res/resource_list.h, each of its listed kind, with content the library's
// loader reads without running past it and the game can draw or play. Reads
// the file with the library's packfile calls and never calls load_datafile,
// which crashes on cut or damaged files instead of failing.
bool datafileFitsGame(const char* fileName);
