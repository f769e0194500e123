#pragma once

#include "hostfw/core/epiApplicationObject.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/gfx/epiBitmapCasts.h"
#include "hostfw/gfx/epiFonts.h"

#include <memory>

class epiBitmap;
class epiFileDump;
class epiResMediaFiles;

// The application's resource service: layouts, menus, images, fonts and
// sounds asked for by category and name, read from one source at a time -
// the pack linked into the program, a pack file (".prs") or a folder of loose
// files (".frs", holding the marker "epi.frs"). Only a folder source writes.
// It owns the application's image cache and font list, which load through it.
class epiResources : public epiApplicationObject {
public:
    // The id under which the program's own pack is linked in.
    static constexpr int kEmbeddedPackId = 22000;

    epiResources();
    ~epiResources() override;

    bool init() override;
    void exit() override;

    // The extension decides: "frs" a folder, "prs" a pack file (any case).
    virtual bool openSourceFile(const epiPath& path);
    virtual bool openSourceFileCString(const char* path) { return openSourceFile(epiPath(path)); }
    // Id 0 means the program's pack; the module argument has no meaning here.
    virtual bool openEmbedded(int id, const void* module);
    // The program's pack, else the first of the candidate files beside the
    // program that opens (see the implementation for their order).
    virtual bool findAndOpen(const char* prefix, const char* name);
    virtual void closeSource();
    virtual bool loadText(const char* name, epiFourCC category, epiText& text);
    virtual bool loadTextCString(const char* name, epiFourCC category, epiText& text)
    {
        return loadText(name, category, text);
    }
    virtual bool saveText(const char* name, epiFourCC category, const epiText& text);
    virtual bool saveTextCString(const char* name, epiFourCC category, const epiText& text)
    {
        return saveText(name, category, text);
    }
    virtual bool loadData(const char* name, epiFourCC category, epiFileDump& dump);
    virtual bool isFolderSource() const;
    // Only for a folder source: the file's full path.
    virtual bool getResourceFilePath(const char* name, epiFourCC category, epiPath& path) const;
    // The image cache's image of that name in the 'imag' category.
    virtual epiBitmap* getImage(const epiText& name) { return images_.getImage(name.getCStr()); }
    virtual epiBitmap* getImageCString(const char* name) { return images_.getImage(name); }
    // A new bitmap from the application's factory ('GrUi', 'iBmp'); null when
    // the factory's object is not a bitmap. When no factory answers, a plain
    // epiBitmap, so that the service also works on its own.
    virtual epiBitmap* createBitmap();
    // The "size" of a layout's "content", "width,height".
    virtual bool getLayoutSize(const char* name, int& width, int& height);

    // The category's folder in front of the name ("layouts/host.xml").
    static void makeResourcePath(const char* name, epiFourCC category, epiPath& path);
    void listResources(epiFourCC category, epiText& output, bool recurse);
    // The first listed ".xml" file of the category whose content "name",
    // read as a four-character code, equals the code.
    bool findLayoutByCode(epiFourCC category, epiFourCC code, epiText& name);

    epiResMediaFiles* source() const { return source_.get(); }
    epiBitmapCasts& imageCache() { return images_; }
    epiFonts& fonts() { return fonts_; }

private:
    epiBitmapCasts images_;
    epiFonts fonts_;
    std::unique_ptr<epiResMediaFiles> source_;
};
