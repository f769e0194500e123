#pragma once

#include "hostfw/core/epiApplicationObject.h"
#include "hostfw/core/epiText.h"
#include "hostfw/gfx/epiBitmap.h"

#include <memory>
#include <vector>

class epiResources;

// One entry of the image cache: the name it was asked by, how often it was
// asked, and the image (owned).
class epiBitmapCast : public epiBitmap {
public:
    epiText name;
    int useCount = 0;
    std::unique_ptr<epiBitmap> image;
};

// The application's images by name, each decoded once and kept until exit.
// An image "x.png" takes "x_alpha.png" beside it, when there is one, as its
// alpha (the mask's red channel).
class epiBitmapCasts : public epiApplicationObject {
public:
    epiBitmapCasts();
    ~epiBitmapCasts() override;

    // Deletes every entry.
    void exit() override;
    void setResources(epiResources* resources) { resources_ = resources; }
    // The cached image of that name, else the image loaded from the category
    // (and cached); null when it does not load, which caches nothing.
    epiBitmap* getImage(const char* name, epiFourCC category);
    epiBitmap* getImage(const char* name) { return getImage(name, epiCode("imag")); }
    // The name of the entry holding the image; an empty text and false when
    // none does.
    bool getImageName(const epiBitmap* image, epiText& name) const;
    std::size_t size() const { return entries_.size(); }

protected:
    virtual std::unique_ptr<epiBitmapCast> newEntry();
    virtual std::unique_ptr<epiBitmap> newImage();

private:
    bool load(epiBitmap& image, const char* name, epiFourCC category);

    epiResources* resources_ = nullptr;
    std::vector<std::unique_ptr<epiBitmapCast>> entries_;
};
