#pragma once

#include "hostfw/core/epiText.h"

class epiPath;

// A text loaded from and saved to a whole file.
class epiTextFile : public epiText {
public:
    virtual bool loadFromCString(const char* path);
    // True once the file was opened.
    virtual bool loadFrom(const epiPath& path);
    virtual bool saveToCString(const char* path);
    // Replaces the file through a temporary file renamed over it: a failed
    // write leaves the old file as it was.
    virtual bool saveTo(const epiPath& path, int = 0, int = 0);
};
