#include "hostfw/res/epiXmlChunk.h"

#include <cstring>

namespace {

enum class TagKind { Opening = 1, Closing = 2, Empty = 3 };

struct Tag {
    const char* open = nullptr; // the "<"
    const char* name = nullptr;
    const char* nameEnd = nullptr;
    const char* close = nullptr; // the ">"
    TagKind kind = TagKind::Opening;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The next tag in [from, end); false when there is none or it has no ">"
// before the end.
bool scanTag(const char* from, const char* end, Tag& tag)
{
    const char* p = from;
    for (;;) {
        while (p < end && *p != '<')
            ++p;
        if (p >= end)
            return false;
        // Declarations and comment openings are passed over.
        if (p + 1 < end && (p[1] == '!' || p[1] == '?')) {
            ++p;
            continue;
        }
        break;
    }
    tag.open = p;
    const bool closing = p + 1 < end && p[1] == '/';
    tag.kind = closing ? TagKind::Closing : TagKind::Opening;
    tag.name = p + (closing ? 2 : 1);
    const char* q = tag.name;
    tag.nameEnd = nullptr;
    for (;;) {
        while (q < end && *q != '>') {
            if (!tag.nameEnd && isBlank(*q))
                tag.nameEnd = q;
            ++q;
        }
        if (q >= end)
            return false;
        if (q[-1] == '/' && q - 1 >= tag.name) {
            // A closing tag cannot also be empty: look on to the next ">".
            if (closing) {
                ++q;
                continue;
            }
            tag.kind = TagKind::Empty;
            if (!tag.nameEnd)
                tag.nameEnd = q - 1;
        }
        break;
    }
    if (!tag.nameEnd)
        tag.nameEnd = q;
    tag.close = q;
    return true;
}

bool nameIs(const Tag& tag, const char* name, std::size_t length)
{
    return static_cast<std::size_t>(tag.nameEnd - tag.name) == length &&
           std::memcmp(tag.name, name, length) == 0;
}

// The closing tag that matches an opening tag whose ">" is at from - 1.
bool findClosing(const Tag& opening, const char* end, Tag& closing)
{
    const std::size_t length = static_cast<std::size_t>(opening.nameEnd - opening.name);
    int depth = 0;
    const char* p = opening.close + 1;
    Tag tag;
    while (scanTag(p, end, tag)) {
        p = tag.close + 1;
        if (!nameIs(tag, opening.name, length))
            continue;
        if (tag.kind == TagKind::Opening) {
            ++depth;
        } else if (tag.kind == TagKind::Closing) {
            if (depth == 0) {
                closing = tag;
                return true;
            }
            --depth;
        }
    }
    return false;
}

} // namespace

void epiXmlChunk::setText(const epiText& text)
{
    start_ = text.getCStr();
    end_ = start_ + text.getLength();
}

void epiXmlChunk::setRange(const char* start, const char* end)
{
    start_ = start;
    end_ = end;
}

epiXmlChunk epiXmlChunk::getChild(const char* name) const
{
    epiXmlChunk content, tag;
    if (!findChild(name, content, tag))
        return epiXmlChunk();
    return content;
}

bool epiXmlChunk::findChild(const char* name, epiXmlChunk& content, epiXmlChunk& tag) const
{
    return findChildAt(name, -1, content, tag);
}

bool epiXmlChunk::findChildAt(const char* name, int counter, epiXmlChunk& content,
                              epiXmlChunk& tag) const
{
    return findChildAt(name, counter, content, tag, nullptr);
}

bool epiXmlChunk::findChildAt(const char* name, int counter, epiXmlChunk& content, epiXmlChunk& tag,
                              int* position) const
{
    int passed = 0;
    content.setRange(start_, start_);
    tag.setRange(start_, start_);
    if (!start_ || start_ >= end_)
        return false;
    const std::size_t length = name ? std::strlen(name) : 0;
    const char* p = start_;
    Tag child;
    while (scanTag(p, end_, child)) {
        if (child.kind == TagKind::Closing) {
            p = child.close + 1; // a stray closing tag counts for nothing
            continue;
        }
        const bool wanted =
            (counter == -1 || counter == 0) && (!name || nameIs(child, name, length));
        Tag closing;
        if (child.kind == TagKind::Opening && !findClosing(child, end_, closing))
            return false;
        if (wanted) {
            tag.setRange(child.name, child.close);
            if (child.kind == TagKind::Opening)
                content.setRange(child.close + 1, closing.open);
            else
                content.setRange(child.close + 1, child.close + 1);
            if (position)
                *position = passed;
            return true;
        }
        p = (child.kind == TagKind::Opening ? closing.close : child.close) + 1;
        if (counter > 0)
            --counter;
        ++passed;
    }
    return false;
}

void epiXmlChunk::getTextInto(epiText& text) const
{
    std::string& out = text.storage();
    out.clear();
    const char* p = start_;
    while (p && p < end_ && isBlank(*p))
        ++p;
    while (p && p < end_) {
        if (*p == '\r') {
            out += ' ';
            ++p;
            while (p < end_ && isBlank(*p))
                ++p;
            continue;
        }
        out += *p++;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
}

epiText epiXmlChunk::getText() const
{
    epiText text;
    getTextInto(text);
    return text;
}

epiText epiXmlChunk::getRawText() const
{
    epiText text;
    if (start_ && end_ > start_)
        text.assignBytes(static_cast<std::size_t>(end_ - start_), start_);
    return text;
}

void epiXmlChunkEnumerator::setName(const char* name)
{
    name_ = name ? name : "";
    counter_ = 0;
}

bool epiXmlChunkEnumerator::next(epiXmlChunk& content, epiXmlChunk& tag)
{
    // The walk goes on after the child found, so children of other names in
    // between never make it return a child twice.
    int position = 0;
    if (!findChildAt(name_.empty() ? nullptr : name_.c_str(), counter_, content, tag, &position))
        return false;
    counter_ = position + 1;
    return true;
}
