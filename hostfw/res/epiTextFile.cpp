#include "hostfw/res/epiTextFile.h"

#include "hostfw/core/epiFile.h"
#include "hostfw/core/epiPath.h"

bool epiTextFile::loadFromCString(const char* path)
{
    return loadFrom(epiPath(path));
}

bool epiTextFile::loadFrom(const epiPath& path)
{
    epiFile file;
    if (!file.open(path, epiFile::kRead))
        return false;
    std::string& chars = storage();
    chars.assign(static_cast<std::size_t>(file.getSize()), '\0');
    std::size_t read = 0;
    file.read(chars.data(), chars.size(), &read);
    chars.resize(read);
    return true;
}

bool epiTextFile::saveToCString(const char* path)
{
    return saveTo(epiPath(path));
}

bool epiTextFile::saveTo(const epiPath& path, int, int)
{
    return epiSaveAtomically(path.toNative(), getCStr(), getLength());
}
