#pragma once

#include "hostfw/core/epiObject.h"
#include "hostfw/core/epiText.h"

// A view into a loaded XML text, without a tree: finding a child gives a view
// of the child's content. The viewed characters must outlive the chunk and
// stay unchanged. Elements are found by name (case-sensitive) and position;
// attributes, comments' contents and entities are not interpreted. Malformed
// text ("<" without ">", unbalanced tags) reads as "not found".
class epiXmlChunk : public epiObject {
public:
    epiXmlChunk() = default;
    epiXmlChunk(const char* start, const char* end) : start_(start), end_(end) {}

    void setText(const epiText& text);
    void setRange(const char* start, const char* end);
    const char* start() const { return start_; }
    const char* end() const { return end_; }
    bool isEmpty() const { return start_ == end_; }

    // The content of the first child of that name; an empty chunk when none.
    epiXmlChunk getChild(const char* name) const;
    // Content from after the opening tag to before the closing tag, and the
    // tag from its name to its ">"; an empty element has empty content.
    bool findChild(const char* name, epiXmlChunk& content, epiXmlChunk& tag) const;
    // Skips counter children of any name (-1: any position), then takes the
    // next child of that name (null: of any name).
    bool findChildAt(const char* name, int counter, epiXmlChunk& content, epiXmlChunk& tag) const;
    // The content with whitespace normalised: leading whitespace dropped, a
    // CR and the whitespace after it become one blank, trailing blanks go.
    epiText getText() const;
    void getTextInto(epiText& text) const;
    epiText getRawText() const;

protected:
    // The same, also giving how many children came before the one found.
    bool findChildAt(const char* name, int counter, epiXmlChunk& content, epiXmlChunk& tag,
                     int* position) const;

private:
    const char* start_ = nullptr;
    const char* end_ = nullptr;
};

// Walks the children of one name in order.
class epiXmlChunkEnumerator : public epiXmlChunk {
public:
    explicit epiXmlChunkEnumerator(const epiXmlChunk& chunk) : epiXmlChunk(chunk) {}
    void setName(const char* name);
    bool next(epiXmlChunk& content, epiXmlChunk& tag);

private:
    std::string name_;
    int counter_ = 0;
};
