#include "app/startup.h"

#include "res/datafile_check.h"

DATAFILE* loadResources(const char* fileName)
{
    // The library's loader crashes on a cut or damaged file instead of
    // failing, so the file is checked first and only then handed to it.
    return datafileFitsGame(fileName) ? load_datafile(fileName) : nullptr;
}
