#include "editor/resources/ResourceCache.h"

#include <tinyxml.h>

#include "editor/graphics/Bitmap.h"
#include "editor/graphics/Font.h"
#include "editor/graphics/ImageReader.h"
#include "editor/resources/PlugInResourceProvider.h"
#include "editor/resources/XmlLoaders.h"

namespace Zq::Application::Res {

namespace {

template <class T> struct Loader;

template <> struct Loader<Graphics::Bitmap> {
    static auto fromFile(const std::string& path)
    {
        return std::make_unique<Graphics::Bitmap>(Graphics::readImageFromFile(path));
    }
    static auto fromStream(std::istream& stream, std::size_t size)
    {
        return std::make_unique<Graphics::Bitmap>(Graphics::readImageFromStream(stream, size));
    }
};

template <> struct Loader<Graphics::Font> {
    static auto fromFile(const std::string& path) { return std::make_unique<Graphics::Font>(path); }
    static auto fromStream(std::istream& stream, std::size_t size)
    {
        return std::make_unique<Graphics::Font>(stream, size);
    }
};

template <> struct Loader<TiXmlDocument> {
    static auto fromFile(const std::string& path) { return loadXmlDocumentFromFile(path); }
    static auto fromStream(std::istream& stream, std::size_t size)
    {
        return loadXmlDocumentFromStream(stream, size);
    }
};

} // namespace

template <class T> T* ResourceCache<T>::get(const std::string& name)
{
    platform::ScopedEnter lock(provider_.access());
    const auto cached = entries_.find(name);
    if (cached != entries_.end()) {
        ++cached->second.count;
        return cached->second.object.get();
    }
    std::string path;
    ResourcePack* pack = nullptr;
    if (!provider_.find(name, path, pack))
        return nullptr;
    std::unique_ptr<T> object;
    if (pack) {
        std::istream* stream = nullptr;
        std::size_t size = 0;
        if (!pack->open(name, stream, size))
            return nullptr;
        object = Loader<T>::fromStream(*stream, size);
    } else {
        object = Loader<T>::fromFile(path);
    }
    T* result = object.get();
    entries_.emplace(name, Entry{std::move(object), 1});
    return result;
}

template <class T> void ResourceCache<T>::release(const T* object)
{
    if (!object)
        return;
    platform::ScopedEnter lock(provider_.access());
    for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
        if (entry->second.object.get() != object)
            continue;
        if (--entry->second.count == 0)
            entries_.erase(entry);
        return;
    }
}

template <class T> std::size_t ResourceCache<T>::size()
{
    platform::ScopedEnter lock(provider_.access());
    return entries_.size();
}

template <class T> std::uint32_t ResourceCache<T>::references(const std::string& name)
{
    platform::ScopedEnter lock(provider_.access());
    const auto found = entries_.find(name);
    return found == entries_.end() ? 0 : found->second.count;
}

template class ResourceCache<Graphics::Bitmap>;
template class ResourceCache<Graphics::Font>;
template class ResourceCache<TiXmlDocument>;

PlugInResourceProvider::PlugInResourceProvider()
    : images_(std::make_unique<ImageCache>(*this)), fonts_(std::make_unique<FontCache>(*this)),
      xml_(std::make_unique<XmlCache>(*this))
{
}

PlugInResourceProvider::~PlugInResourceProvider() = default;

} // namespace Zq::Application::Res
