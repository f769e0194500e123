#pragma once

#include "hostfw/core/epiFormatArg.h"
#include "hostfw/core/epiObject.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The framework's string value: a growable byte string, UTF-8 by convention.
// Operations treat characters as bytes; case operations fold ASCII letters
// only. Every formatting operation sizes its result exactly, so arguments of
// any length format in full.
class epiText : public epiObject {
public:
    epiText() = default;
    epiText(const char* text) : chars_(text ? text : "") {}
    epiText(std::string text) : chars_(std::move(text)) {}
    epiText(const epiText&) = default;
    epiText& operator=(const epiText&) = default;
    ~epiText() override = default;

    virtual void assignFrom(const epiText* other);
    virtual void assignText(epiText other);
    virtual void assignFloat(float value);
    virtual void assignLong(long value);
    // The value cut to a signed 16-bit number.
    virtual void assignShort(long value);
    virtual void assign(const char* text);
    virtual void append(const char* text);
    virtual void appendText(const epiText* other);
    virtual void appendShort(long value);
    virtual void appendLong(long value);
    virtual void appendFloatFormatted(float value, const char* format);
    virtual void appendTextByValue(epiText other);
    // Nothing when the value is 0.
    virtual void appendFormattedIfSet(const char* format, std::int32_t value);
    virtual void appendFormattedText(const char* format, const epiText* text);
    virtual void appendFormattedShort(const char* format, long value);
    virtual void appendFormattedLong(const char* format, long value);
    virtual void appendFormattedFloat(const char* format, float value);
    virtual void assignFourCC(epiFourCC code);
    virtual void appendFourCC(epiFourCC code);
    // The first up to four characters, big-endian; missing ones are 0.
    virtual epiFourCC toFourCC() const;
    virtual void assignBytes(std::size_t length, const void* bytes);
    virtual void appendBytes(std::size_t length, const void* bytes);
    virtual void assignChar(char c);
    virtual void appendChar(char c);
    virtual void assignRepeated(char c, std::size_t count);
    virtual void removeChar(char c);
    virtual void truncate(std::size_t length);
    virtual void appendNewLine();
    virtual void assignHex(const void* bytes, std::size_t count);
    virtual epiText& left(epiText& result, std::size_t n) const;
    virtual epiText& right(epiText& result, std::size_t n) const;
    virtual epiText& mid(epiText& result, std::size_t start, std::size_t count) const;
    virtual char lastChar() const;
    virtual std::size_t getLength() const { return chars_.size(); }
    virtual void removeLastChar();
    // Lines end at CR, LF or CR LF (one break).
    virtual void getLinesInto(std::size_t skip, std::size_t count, epiText& target) const;
    virtual epiText& getLines(epiText& result, std::size_t skip, std::size_t count) const;
    virtual void getLineInto(std::size_t index, epiText& target) const;
    virtual epiText& getLine(epiText& result, std::size_t index) const;
    virtual bool equalsCString(const char* text) const;
    virtual bool equals(const epiText& other) const;
    // The list is comma-separated; fields compare ignoring ASCII case.
    virtual bool isOneOfText(const epiText& list, int& index) const;
    virtual bool isOneOf(const char* list, int& index) const;
    virtual void replaceChar(char from, char to);
    virtual std::size_t countLines() const;
    virtual std::size_t countFields(char separator) const;
    virtual void getFieldsInto(std::size_t skip, std::size_t count, char separator,
                               epiText& target) const;
    virtual epiText& getFields(epiText& result, std::size_t skip, std::size_t count,
                               char separator) const;
    virtual epiText& getField(epiText& result, std::size_t index, char separator) const;
    virtual long toLong() const;
    virtual int toInt() const;
    virtual double toFloat() const;
    // Copies at most limit characters (256 for a limit of 0) and a terminating
    // zero behind them: the buffer holds limit + 1 bytes.
    virtual void copyTo(char* buffer, std::size_t limit) const;
    virtual void ignore(void*) {}
    virtual std::size_t countWords() const { return countFields(' '); }
    virtual epiText& getWords(epiText& result, std::size_t skip, std::size_t count) const;
    virtual epiText& getWord(epiText& result, std::size_t index) const;
    virtual void clear() { chars_.clear(); }
    virtual void appendComma() { chars_ += ','; }
    virtual bool isEmpty() const { return chars_.empty(); }
    virtual epiFourCC asFourCC() const { return toFourCC(); }
    virtual void setFourCC(epiFourCC code) { assignFourCC(code); }

    const char* getCStr() const { return chars_.c_str(); }
    const std::string& str() const { return chars_; }
    // Direct access for readers that fill the text in place.
    std::string& storage() { return chars_; }

    // The standard formatter.
    void format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The framework's own formatter: every argument is one slot; see
    // epiFormatArg.h for the conversions.
    template <typename... Args> void formatEpi(const char* format, const Args&... args)
    {
        const epiFormatArg slots[] = {epiFormatArg(args)..., epiFormatArg()};
        chars_ = epiFormatText(format, slots, sizeof...(Args));
    }
    template <typename... Args> void appendFormatEpi(const char* format, const Args&... args)
    {
        const epiFormatArg slots[] = {epiFormatArg(args)..., epiFormatArg()};
        chars_ += epiFormatText(format, slots, sizeof...(Args));
    }
    void appendXmlElement(const char* name, const epiText& value, bool lineBreak);
    bool equalsIgnoreCase(const epiText* other) const;
    bool equalsIgnoreCase(const char* other) const;
    bool contains(const char* text) const;
    bool containsChar(char c) const;
    bool startsWith(const epiText& prefix) const { return startsWith(prefix.getCStr()); }
    bool startsWith(const char* prefix) const;
    epiText& getLastField(epiText& result, char separator) const;
    void toUpper();
    void getRgb(std::uint8_t rgb[3]) const;
    void keepChars(const epiText& set);
    void insertChar(std::size_t position, char c);
    // The index-th field, where a run enclosed in quote characters is one piece
    // even when it holds separators.
    epiText& getQuotedField(epiText& result, std::size_t index, char separator, char quote) const;

    // UTF-16 conversions for callers that need them. toWide writes at most
    // capacity - 1 units and a terminator and returns the number written; text
    // that is not UTF-8 gives an empty buffer and returns -1.
    int toWide(char16_t* buffer, std::size_t capacity) const;
    // The same into one buffer of 1000 units shared by the program: valid until
    // the next call, not reentrant.
    const char16_t* toWideShared() const;
    // False (and the text cleared) for a string that is not valid UTF-16.
    bool assignWide(const char16_t* text);

private:
    std::string chars_;
};

// UTF-8 <-> UTF-16 without a platform in between; false on invalid input.
bool epiUtf8ToUtf16(const std::string& in, std::u16string& out);
bool epiUtf16ToUtf8(const std::u16string& in, std::string& out);
