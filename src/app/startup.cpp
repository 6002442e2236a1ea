#include "app/startup.h"

#include "res/datafile_check.h"

DATAFILE* loadResources(const char* fileName)
{
    // The library's loader crashes on a cut or damaged file instead of
    // failing, so the file is walked first and only then handed to it.
    if (!datafileWellFormed(fileName))
        return nullptr;
    DATAFILE* resources = load_datafile(fileName);
    if (resources && !datafileUsable(resources)) {
        unload_datafile(resources);
        return nullptr;
    }
    return resources;
}
