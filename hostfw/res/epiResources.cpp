#include "hostfw/res/epiResources.h"

#include "hostfw/core/epiFileDump.h"
#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/res/epiResMedia.h"
#include "hostfw/res/epiTextFile.h"
#include "hostfw/res/epiXmlChunk.h"

#include <string>

namespace {

const char* categoryFolder(epiFourCC category)
{
    switch (category) {
    case epiCode("auxr"):
        return "aux/";
    case epiCode("fnts"):
        return "fonts/";
    case epiCode("gltx"):
        return "textures/";
    case epiCode("imag"):
        return "images/";
    case epiCode("laya"):
        return "layouts/";
    case epiCode("lnks"):
        return "links/";
    case epiCode("mdls"):
        return "models/";
    case epiCode("menu"):
        return "menus/";
    case epiCode("scrp"):
        return "scripts/";
    case epiCode("text"):
        return "texts/";
    default:
        return "";
    }
}

// The content of <epi><content><child> of a document.
epiXmlChunk contentChild(const epiText& document, const char* child)
{
    epiXmlChunk root;
    root.setText(document);
    return root.getChild("epi").getChild("content").getChild(child);
}

} // namespace

epiResources::epiResources()
{
    images_.setResources(this);
    fonts_.setResources(this);
}

epiResources::~epiResources()
{
    closeSource();
}

bool epiResources::init()
{
    if (!epiApplicationObject::init())
        return false;
    fonts_.attach(getApplication());
    images_.attach(getApplication());
    return images_.init();
}

void epiResources::exit()
{
    closeSource();
    images_.exit();
    epiApplicationObject::exit();
}

epiBitmap* epiResources::createBitmap()
{
    epiObject* made = createObject(epiCode("GrUi"), epiCode("iBmp"), nullptr);
    if (!made)
        return new epiBitmap;
    if (auto* bitmap = dynamic_cast<epiBitmap*>(made))
        return bitmap;
    delete made;
    return nullptr;
}

bool epiResources::openSourceFile(const epiPath& path)
{
    closeSource();
    const epiText extension = path.getExtension();
    std::unique_ptr<epiResMediaFiles> source;
    if (extension.equalsIgnoreCase("frs"))
        source = std::make_unique<epiResMediaFiles>();
    else if (extension.equalsIgnoreCase("prs"))
        source = std::make_unique<epiResMediaPack>();
    else
        return false;
    source->attach(getApplication());
    if (!source->openSource(path))
        return false;
    source_ = std::move(source);
    return true;
}

bool epiResources::openEmbedded(int id, const void* module)
{
    closeSource();
    auto source = std::make_unique<epiResMediaNativePack>();
    source->attach(getApplication());
    if (!source->openResource(id == 0 ? kEmbeddedPackId : id, module))
        return false;
    source_ = std::move(source);
    return true;
}

bool epiResources::findAndOpen(const char* prefix, const char* name)
{
    if (openEmbedded(kEmbeddedPackId, nullptr))
        return true;
    const std::string n = name ? name : (prefix ? prefix : "");
    const std::string p = prefix ? prefix : n;
    // Beside the program, inside an application bundle named after the
    // prefix, then in a "Resources" folder beside the program's folder; the
    // folder form before the pack file each time. Relative candidates are
    // resolved against the application's folder.
    const std::string bases[] = {n, p + ".app/Contents/Resources/" + n, "../Resources/" + n};
    for (const std::string& base : bases) {
        for (const char* extension : {"frs", "prs"}) {
            epiPath candidate(base);
            candidate.replaceExtension(extension);
            if (openSourceFile(candidate))
                return true;
        }
    }
    return false;
}

void epiResources::closeSource()
{
    if (source_)
        source_->closeSource();
    source_.reset();
}

bool epiResources::loadText(const char* name, epiFourCC category, epiText& text)
{
    text.clear();
    epiFileDump dump;
    if (!loadData(name, category, dump))
        return false;
    text.assignBytes(dump.getSize(), dump.getData());
    return true;
}

bool epiResources::saveText(const char* name, epiFourCC category, const epiText& text)
{
    if (!source_)
        return false;
    epiPath path;
    makeResourcePath(name, category, path);
    return source_->writeFile(path.getCStr(), text.getCStr(), text.getLength());
}

bool epiResources::loadData(const char* name, epiFourCC category, epiFileDump& dump)
{
    dump.releaseData();
    if (!source_)
        return false;
    epiPath path;
    makeResourcePath(name, category, path);
    return source_->readFile(path.getCStr(), dump);
}

bool epiResources::isFolderSource() const
{
    return source_ && source_->isFolderSource();
}

bool epiResources::getResourceFilePath(const char* name, epiFourCC category, epiPath& path) const
{
    path.clear();
    if (!isFolderSource())
        return false;
    epiPath relative;
    makeResourcePath(name, category, relative);
    return source_->makeFullPath(relative.getCStr(), path);
}

bool epiResources::getLayoutSize(const char* name, int& width, int& height)
{
    epiTextFile document;
    if (!loadText(name, epiCode("laya"), document))
        return false;
    const epiXmlChunk size = contentChild(document, "size");
    if (size.start() == nullptr)
        return false;
    const epiText value = size.getText();
    epiText field;
    width = static_cast<int>(value.getField(field, 0, ',').toLong());
    height = static_cast<int>(value.getField(field, 1, ',').toLong());
    return true;
}

void epiResources::makeResourcePath(const char* name, epiFourCC category, epiPath& path)
{
    path.assign(categoryFolder(category));
    path.append(name);
}

void epiResources::listResources(epiFourCC category, epiText& output, bool recurse)
{
    output.clear();
    if (source_)
        source_->listFiles(categoryFolder(category), output, recurse);
}

bool epiResources::findLayoutByCode(epiFourCC category, epiFourCC code, epiText& name)
{
    name.clear();
    epiText listing;
    listResources(category, listing, true);
    epiText entry;
    for (std::size_t i = 0, n = listing.countLines(); i < n; ++i) {
        listing.getLineInto(i, entry);
        if (!epiPath(entry).getExtension().equalsIgnoreCase("xml"))
            continue;
        epiText document;
        if (!loadText(entry.getCStr(), category, document))
            continue;
        if (contentChild(document, "name").getText().toFourCC() == code) {
            name = entry;
            return true;
        }
    }
    return false;
}
