#include "hostfw/gfx/epiBitmapCasts.h"

#include "hostfw/core/epiFileDump.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/res/epiResources.h"

epiBitmapCasts::epiBitmapCasts() = default;
epiBitmapCasts::~epiBitmapCasts() = default;

void epiBitmapCasts::exit()
{
    entries_.clear();
    epiApplicationObject::exit();
}

std::unique_ptr<epiBitmapCast> epiBitmapCasts::newEntry()
{
    return std::make_unique<epiBitmapCast>();
}

std::unique_ptr<epiBitmap> epiBitmapCasts::newImage()
{
    return std::unique_ptr<epiBitmap>(resources_ ? resources_->createBitmap() : nullptr);
}

epiBitmap* epiBitmapCasts::getImage(const char* name, epiFourCC category)
{
    if (!name)
        return nullptr;
    for (const auto& entry : entries_) {
        if (entry->name.equalsCString(name)) {
            ++entry->useCount;
            return entry->image.get();
        }
    }
    std::unique_ptr<epiBitmapCast> entry = newEntry();
    entry->image = newImage();
    if (!entry->image || !load(*entry->image, name, category))
        return nullptr;
    entry->name.assign(name);
    entry->useCount = 1;
    entries_.push_back(std::move(entry));
    return entries_.back()->image.get();
}

bool epiBitmapCasts::load(epiBitmap& image, const char* name, epiFourCC category)
{
    if (!resources_)
        return false;
    epiPath path;
    if (resources_->getResourceFilePath(name, category, path)) {
        epiPath maskPath(path);
        maskPath.insertBeforeExtension("_alpha");
        return image.loadFromFiles(path, maskPath.exists() ? &maskPath : nullptr);
    }
    epiFileDump data;
    if (!resources_->loadData(name, category, data))
        return false;
    epiPath maskName(name);
    maskName.insertBeforeExtension("_alpha");
    epiFileDump mask;
    const bool haveMask = resources_->loadData(maskName.getCStr(), category, mask);
    return image.loadFromDumps(data, haveMask ? &mask : nullptr);
}

bool epiBitmapCasts::getImageName(const epiBitmap* image, epiText& name) const
{
    name.clear();
    for (const auto& entry : entries_) {
        if (image && entry->image.get() == image) {
            name = entry->name;
            return true;
        }
    }
    return false;
}
