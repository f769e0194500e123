#include "hostfw/res/epiResMedia.h"

#include "hostfw/core/epiFileDump.h"
#include "hostfw/core/epiFolder.h"
#include "platform/EmbeddedBlob.h"

#include <string>

bool epiResMediaFiles::openSource(const epiPath& path)
{
    base_ = path;
    base_.ensureTrailingSlash();
    if (base_.isEmpty() || !epiPath(base_.str() + "epi.frs").exists()) {
        base_.clear();
        return false;
    }
    return true;
}

bool epiResMediaFiles::readFile(const char* name, epiFileDump& dump)
{
    return !base_.isEmpty() && name && dump.load(epiPath(base_.str() + name));
}

bool epiResMediaFiles::writeFile(const char* name, const void* bytes, std::size_t length)
{
    if (base_.isEmpty() || !name || !bytes)
        return false;
    epiFileDump dump;
    return dump.save(epiPath(base_.str() + name), bytes, length);
}

bool epiResMediaFiles::fileExists(const char* name) const
{
    return !base_.isEmpty() && name && epiPath(base_.str() + name).exists();
}

bool epiResMediaFiles::makeFullPath(const char* name, epiPath& path) const
{
    path.assign((base_.str() + (name ? name : "")).c_str());
    return true;
}

void epiResMediaFiles::listFiles(const char* folder, epiText& output, bool recurse)
{
    output.clear();
    epiPath path(base_.str() + (folder ? folder : ""));
    path.ensureTrailingSlash();
    if (base_.isEmpty() || !path.exists())
        return;
    epiFolder listing;
    listing.listRecursive(&path, output, recurse);
}

bool epiResMediaPack::openSource(const epiPath& path)
{
    if (!pack_.openPack(path))
        return false;
    base_ = path;
    return true;
}

void epiResMediaPack::closeSource()
{
    pack_.closePack();
    base_.clear();
}

bool epiResMediaPack::readFile(const char* name, epiFileDump& dump)
{
    return pack_.extract(name, dump);
}

bool epiResMediaPack::makeFullPath(const char*, epiPath& path) const
{
    path.clear();
    return false;
}

void epiResMediaPack::listFiles(const char* folder, epiText& output, bool recurse)
{
    output.clear();
    const std::string prefix = std::string("/") + (folder ? folder : "");
    epiText name;
    for (std::size_t i = 0; pack_.getEntryName(i, name); ++i) {
        if (name.str().compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string rest = name.str().substr(prefix.size());
        if (!recurse && rest.find('/') != std::string::npos)
            continue;
        output.append(rest.c_str());
        output.appendNewLine();
    }
}

bool epiResMediaNativePack::openResource(int id, const void*)
{
    closeSource();
    platform::EmbeddedBlob blob;
    if (!platform::findEmbeddedBlob(id, blob) || !blob.data)
        return false;
    if (!memory_.attachBlock(static_cast<const void*>(blob.data), blob.size) ||
        !atoms_.attachFile(&memory_, epiFile::kRead) || !pack_.readIndex(&atoms_)) {
        closeSource();
        return false;
    }
    base_.assign(("#" + std::to_string(id)).c_str());
    return true;
}

void epiResMediaNativePack::closeSource()
{
    epiResMediaPack::closeSource();
    memory_.close();
}
