#include "app/startup.h"

#include "res/datafile_check.h"

DATAFILE* loadResources(const char* fileName)
{
    DATAFILE* resources = load_datafile(fileName);
    if (resources && !datafileUsable(resources)) {
        unload_datafile(resources);
        return nullptr;
    }
    return resources;
}
