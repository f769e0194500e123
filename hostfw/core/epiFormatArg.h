#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

class epiText;

// One argument slot of the framework's formatter. Arguments are captured with
// their type, so a directive that does not match its argument, or a format
// with more directives than arguments, prints a harmless value (0, an empty
// string) instead of reading memory it was not given.
//
// Conversions: d signed decimal, o octal, x/X hexadecimal, p upper-case
// hexadecimal padded to 8 digits, c a character, s a zero-terminated string,
// t an epiText given by pointer, k a four-character code (zero bytes print
// "_"), I a 32-bit address as four decimal bytes, f unsupported (the slot as
// an unsigned number, then "epitext_float_unsupported"), any other letter
// unsigned decimal. Flags: "-" pads on the right, a width starting with "0"
// pads numbers with zeros (a minus sign goes in front of the padding), "*"
// takes the width from the next slot; "l" and "L" are skipped.
class epiFormatArg {
public:
    enum class Kind { None, Integer, String, Text, Pointer };

    epiFormatArg() = default;
    template <typename T, typename = std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>>>
    epiFormatArg(T value) : kind_(Kind::Integer), integer_(static_cast<std::int64_t>(value))
    {
    }
    epiFormatArg(float value) : kind_(Kind::Integer), integer_(static_cast<std::int64_t>(value)) {}
    epiFormatArg(double value) : kind_(Kind::Integer), integer_(static_cast<std::int64_t>(value)) {}
    epiFormatArg(const char* text) : kind_(Kind::String), string_(text) {}
    epiFormatArg(char* text) : kind_(Kind::String), string_(text) {}
    epiFormatArg(const std::string& text) : kind_(Kind::String), string_(text.c_str()) {}
    epiFormatArg(const epiText* text) : kind_(Kind::Text), text_(text) {}
    epiFormatArg(const epiText& text) : kind_(Kind::Text), text_(&text) {}
    epiFormatArg(const void* pointer) : kind_(Kind::Pointer), pointer_(pointer) {}
    epiFormatArg(std::nullptr_t) : kind_(Kind::Pointer) {}

    // The slot as a 32-bit word, as the integer conversions read it.
    std::uint32_t word() const;
    std::uint64_t address() const;
    // The characters of a string or text slot; "" for any other slot.
    const char* chars() const;

private:
    Kind kind_ = Kind::None;
    std::int64_t integer_ = 0;
    const char* string_ = nullptr;
    const epiText* text_ = nullptr;
    const void* pointer_ = nullptr;
};

// Formats with the framework's conversions into a string of exactly the
// needed length; count is the number of slots in args.
std::string epiFormatText(const char* format, const epiFormatArg* args, std::size_t count);
