#pragma once

#include "editor/resources/Provider.h"
#include "editor/resources/ResourceCache.h"

class TiXmlDocument;

namespace Zq::Application::Graphics {
struct Bitmap;
class Font;
} // namespace Zq::Application::Graphics

namespace Zq::Application::Res {

using ImageCache = ResourceCache<Graphics::Bitmap>;
using FontCache = ResourceCache<Graphics::Font>;
using XmlCache = ResourceCache<TiXmlDocument>;

// The plug-in's one provider with its three caches: the plug-in object owns it
// for its whole life and every editor it creates reads through it. Objects
// still cached are deleted with it.
class PlugInResourceProvider final : public Provider {
public:
    PlugInResourceProvider();
    ~PlugInResourceProvider() override;

    ImageCache& getImageCache() noexcept { return *images_; }
    FontCache& getFontCache() noexcept { return *fonts_; }
    XmlCache& getXmlCache() noexcept { return *xml_; }

private:
    std::unique_ptr<ImageCache> images_;
    std::unique_ptr<FontCache> fonts_;
    std::unique_ptr<XmlCache> xml_;
};

} // namespace Zq::Application::Res
