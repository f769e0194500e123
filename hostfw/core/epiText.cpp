#include "hostfw/core/epiText.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The standard formatter into a string of exactly the length it needs.
std::string vformat(const char* format, va_list args)
{
    if (!format)
        return {};
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0)
        return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(out.data(), out.size() + 1, format, args);
    return out;
}

std::string sformat(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string sformat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string out = vformat(format, args);
    va_end(args);
    return out;
}

// Formats with a caller's format; the compiler cannot check those, the
// caller keeps format and argument matching.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
template <typename T> std::string callerFormat(const char* format, T value)
{
    if (!format)
        return {};
    const int length = std::snprintf(nullptr, 0, format, value);
    if (length <= 0)
        return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    std::snprintf(out.data(), out.size() + 1, format, value);
    return out;
}
#pragma GCC diagnostic pop

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isBreak(char c)
{
    return c == '\r' || c == '\n';
}

// The line starting at pos: where its characters end and where the next line
// starts (past CR, LF or CR LF).
void lineAt(const std::string& s, std::size_t pos, std::size_t& end, std::size_t& next)
{
    end = pos;
    while (end < s.size() && !isBreak(s[end]))
        ++end;
    next = end;
    if (next < s.size()) {
        if (s[next] == '\r' && next + 1 < s.size() && s[next + 1] == '\n')
            next += 2;
        else
            next += 1;
    }
}

} // namespace

void epiText::assignFrom(const epiText* other)
{
    if (other)
        chars_ = other->chars_;
}

void epiText::assignText(epiText other)
{
    chars_ = std::move(other.chars_);
}

void epiText::assignFloat(float value)
{
    chars_ = sformat("%f", static_cast<double>(value));
}

void epiText::assignLong(long value)
{
    chars_ = sformat("%ld", value);
}

void epiText::assignShort(long value)
{
    chars_ = sformat("%d", static_cast<int>(static_cast<std::int16_t>(value)));
}

void epiText::assign(const char* text)
{
    if (text)
        chars_ = text;
    else
        chars_.clear();
}

void epiText::append(const char* text)
{
    if (text)
        chars_ += text;
}

void epiText::appendText(const epiText* other)
{
    if (other)
        chars_ += other->chars_;
}

void epiText::appendShort(long value)
{
    chars_ += sformat("%d", static_cast<int>(static_cast<std::int16_t>(value)));
}

void epiText::appendLong(long value)
{
    chars_ += sformat("%ld", value);
}

void epiText::appendFloatFormatted(float value, const char* format)
{
    chars_ += callerFormat(format, static_cast<double>(value));
}

void epiText::appendTextByValue(epiText other)
{
    chars_ += other.chars_;
}

void epiText::appendFormattedIfSet(const char* format, std::int32_t value)
{
    if (value != 0)
        chars_ += callerFormat(format, value);
}

void epiText::appendFormattedText(const char* format, const epiText* text)
{
    if (text)
        chars_ += callerFormat(format, text->getCStr());
}

void epiText::appendFormattedShort(const char* format, long value)
{
    chars_ += callerFormat(format, static_cast<int>(static_cast<std::int16_t>(value)));
}

void epiText::appendFormattedLong(const char* format, long value)
{
    chars_ += callerFormat(format, value);
}

void epiText::appendFormattedFloat(const char* format, float value)
{
    chars_ += callerFormat(format, static_cast<double>(value));
}

void epiText::assignFourCC(epiFourCC code)
{
    chars_.clear();
    appendFourCC(code);
}

void epiText::appendFourCC(epiFourCC code)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        chars_ += static_cast<char>((code >> shift) & 0xFF);
}

epiFourCC epiText::toFourCC() const
{
    epiFourCC code = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const unsigned char c = i < chars_.size() ? static_cast<unsigned char>(chars_[i]) : 0;
        code |= epiFourCC(c) << (24 - 8 * i);
    }
    return code;
}

void epiText::assignBytes(std::size_t length, const void* bytes)
{
    if (bytes)
        chars_.assign(static_cast<const char*>(bytes), length);
}

void epiText::appendBytes(std::size_t length, const void* bytes)
{
    if (bytes)
        chars_.append(static_cast<const char*>(bytes), length);
}

void epiText::assignChar(char c)
{
    chars_.assign(1, c);
}

void epiText::appendChar(char c)
{
    chars_ += c;
}

void epiText::assignRepeated(char c, std::size_t count)
{
    chars_.assign(count, c);
}

void epiText::removeChar(char c)
{
    std::erase(chars_, c);
}

void epiText::truncate(std::size_t length)
{
    if (length < chars_.size())
        chars_.resize(length);
}

void epiText::appendNewLine()
{
    chars_ += "\r\n";
}

void epiText::assignHex(const void* bytes, std::size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    chars_.clear();
    const auto* b = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; b && i < count; ++i) {
        chars_ += digits[b[i] >> 4];
        chars_ += digits[b[i] & 0xF];
    }
}

epiText& epiText::left(epiText& result, std::size_t n) const
{
    result.chars_ = chars_.substr(0, n);
    return result;
}

epiText& epiText::right(epiText& result, std::size_t n) const
{
    result.chars_ = n >= chars_.size() ? chars_ : chars_.substr(chars_.size() - n);
    return result;
}

epiText& epiText::mid(epiText& result, std::size_t start, std::size_t count) const
{
    result.chars_ = start >= chars_.size() ? std::string() : chars_.substr(start, count);
    return result;
}

char epiText::lastChar() const
{
    return chars_.empty() ? '\0' : chars_.back();
}

void epiText::removeLastChar()
{
    if (!chars_.empty())
        chars_.pop_back();
}

void epiText::getLinesInto(std::size_t skip, std::size_t count, epiText& target) const
{
    std::size_t pos = 0, end = 0, next = 0;
    for (std::size_t i = 0; i < skip; ++i) {
        if (pos >= chars_.size()) {
            target.clear();
            return;
        }
        lineAt(chars_, pos, end, next);
        pos = next;
    }
    const std::size_t start = pos;
    std::size_t lastEnd = pos;
    for (std::size_t i = 0; i < count && pos < chars_.size(); ++i) {
        lineAt(chars_, pos, end, next);
        lastEnd = end;
        pos = next;
    }
    target.chars_ = chars_.substr(start, lastEnd - start);
}

epiText& epiText::getLines(epiText& result, std::size_t skip, std::size_t count) const
{
    getLinesInto(skip, count, result);
    return result;
}

void epiText::getLineInto(std::size_t index, epiText& target) const
{
    getLinesInto(index, 1, target);
}

epiText& epiText::getLine(epiText& result, std::size_t index) const
{
    getLineInto(index, result);
    return result;
}

bool epiText::equalsCString(const char* text) const
{
    return text && chars_ == text;
}

bool epiText::equals(const epiText& other) const
{
    return chars_ == other.chars_;
}

bool epiText::isOneOfText(const epiText& list, int& index) const
{
    index = 0;
    const std::size_t fields = list.countFields(',');
    epiText field;
    for (std::size_t i = fields; i-- > 0;) {
        list.getField(field, i, ',');
        if (equalsIgnoreCase(&field)) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

bool epiText::isOneOf(const char* list, int& index) const
{
    return isOneOfText(epiText(list), index);
}

void epiText::replaceChar(char from, char to)
{
    for (char& c : chars_)
        if (c == from)
            c = to;
}

std::size_t epiText::countLines() const
{
    if (chars_.empty())
        return 0;
    std::size_t lines = 1, pos = 0, end = 0, next = 0;
    while (pos < chars_.size()) {
        lineAt(chars_, pos, end, next);
        // A break that is the last thing in the text starts no new line.
        if (end < chars_.size() && next < chars_.size())
            ++lines;
        pos = next;
    }
    return lines;
}

std::size_t epiText::countFields(char separator) const
{
    if (chars_.empty())
        return 0;
    std::size_t fields = 1;
    for (char c : chars_)
        if (c == separator)
            ++fields;
    return fields;
}

void epiText::getFieldsInto(std::size_t skip, std::size_t count, char separator,
                            epiText& target) const
{
    target.clear();
    std::size_t pos = 0;
    for (std::size_t i = 0; i < skip; ++i) {
        const std::size_t found = chars_.find(separator, pos);
        if (found == std::string::npos)
            return;
        pos = found + 1;
    }
    if (count == 0)
        return;
    // A row of separators inside the taken run counts as one.
    std::size_t i = pos, taken = 0;
    while (i < chars_.size()) {
        if (chars_[i] != separator) {
            ++i;
            continue;
        }
        if (++taken == count)
            break;
        while (i < chars_.size() && chars_[i] == separator)
            ++i;
    }
    target.chars_ = chars_.substr(pos, i - pos);
}

epiText& epiText::getFields(epiText& result, std::size_t skip, std::size_t count,
                            char separator) const
{
    getFieldsInto(skip, count, separator, result);
    return result;
}

epiText& epiText::getField(epiText& result, std::size_t index, char separator) const
{
    getFieldsInto(index, 1, separator, result);
    return result;
}

long epiText::toLong() const
{
    return std::atol(chars_.c_str());
}

int epiText::toInt() const
{
    return std::atoi(chars_.c_str());
}

double epiText::toFloat() const
{
    return std::atof(chars_.c_str());
}

void epiText::copyTo(char* buffer, std::size_t limit) const
{
    if (!buffer)
        return;
    if (limit == 0)
        limit = 256;
    const std::size_t n = chars_.size() < limit ? chars_.size() : limit;
    std::memcpy(buffer, chars_.data(), n);
    buffer[n] = '\0';
}

epiText& epiText::getWords(epiText& result, std::size_t skip, std::size_t count) const
{
    return getFields(result, skip, count, ' ');
}

epiText& epiText::getWord(epiText& result, std::size_t index) const
{
    return getField(result, index, ' ');
}

void epiText::format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    chars_ = vformat(format, args);
    va_end(args);
}

void epiText::appendXmlElement(const char* name, const epiText& value, bool lineBreak)
{
    appendFormatEpi("<%s>%t</%s>", name, &value, name);
    if (lineBreak)
        appendNewLine();
}

bool epiText::equalsIgnoreCase(const epiText* other) const
{
    return other ? equalsIgnoreCase(other->getCStr()) : true;
}

bool epiText::equalsIgnoreCase(const char* other) const
{
    if (!other)
        return true;
    const std::size_t n = std::strlen(other);
    if (n != chars_.size())
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (foldAscii(chars_[i]) != foldAscii(other[i]))
            return false;
    return true;
}

bool epiText::contains(const char* text) const
{
    return text && !chars_.empty() && chars_.find(text) != std::string::npos;
}

bool epiText::containsChar(char c) const
{
    return chars_.find(c) != std::string::npos;
}

bool epiText::startsWith(const char* prefix) const
{
    return prefix && chars_.rfind(prefix, 0) == 0;
}

epiText& epiText::getLastField(epiText& result, char separator) const
{
    const std::size_t fields = countFields(separator);
    if (fields == 0) {
        result.clear();
        return result;
    }
    return getField(result, fields - 1, separator);
}

void epiText::toUpper()
{
    for (char& c : chars_)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

void epiText::getRgb(std::uint8_t rgb[3]) const
{
    epiText field;
    for (std::size_t i = 0; i < 3; ++i)
        rgb[i] = static_cast<std::uint8_t>(getField(field, i, ',').toLong());
}

void epiText::keepChars(const epiText& set)
{
    std::erase_if(chars_, [&](char c) { return !set.containsChar(c); });
}

void epiText::insertChar(std::size_t position, char c)
{
    chars_.insert(position < chars_.size() ? position : chars_.size(), 1, c);
}

epiText& epiText::getQuotedField(epiText& result, std::size_t index, char separator,
                                 char quote) const
{
    result.clear();
    std::size_t field = 0;
    bool quoted = false;
    for (char c : chars_) {
        if (c == quote) {
            quoted = !quoted;
            continue;
        }
        if (c == separator && !quoted) {
            if (field == index)
                return result;
            ++field;
            continue;
        }
        if (field == index)
            result.chars_ += c;
    }
    if (field != index)
        result.clear();
    return result;
}

int epiText::toWide(char16_t* buffer, std::size_t capacity) const
{
    if (!buffer || capacity == 0)
        return 0;
    std::u16string wide;
    if (!epiUtf8ToUtf16(chars_, wide)) {
        buffer[0] = 0;
        return -1;
    }
    const std::size_t n = wide.size() < capacity - 1 ? wide.size() : capacity - 1;
    std::memcpy(buffer, wide.data(), n * sizeof(char16_t));
    buffer[n] = 0;
    return static_cast<int>(n);
}

const char16_t* epiText::toWideShared() const
{
    static char16_t shared[1000];
    if (toWide(shared, 1000) < 0)
        shared[0] = 0;
    return shared;
}

bool epiText::assignWide(const char16_t* text)
{
    chars_.clear();
    if (!text)
        return true;
    if (epiUtf16ToUtf8(std::u16string(text), chars_))
        return true;
    chars_.clear();
    return false;
}

bool epiUtf8ToUtf16(const std::string& in, std::u16string& out)
{
    out.clear();
    std::size_t i = 0;
    while (i < in.size()) {
        const auto b0 = static_cast<unsigned char>(in[i]);
        std::uint32_t cp = 0;
        std::size_t extra = 0;
        if (b0 < 0x80) {
            cp = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            cp = b0 & 0x1F;
            extra = 1;
        } else if ((b0 & 0xF0) == 0xE0) {
            cp = b0 & 0x0F;
            extra = 2;
        } else if ((b0 & 0xF8) == 0xF0) {
            cp = b0 & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (extra > 0 && i + extra >= in.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(in[i + k]);
            if ((b & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        static const std::uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += extra + 1;
    }
    return true;
}

bool epiUtf16ToUtf8(const std::u16string& in, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        std::uint32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 1 >= in.size() || in[i + 1] < 0xDC00 || in[i + 1] > 0xDFFF)
                return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[++i] - 0xDC00);
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return true;
}
