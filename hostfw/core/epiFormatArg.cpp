#include "hostfw/core/epiFormatArg.h"

#include "hostfw/core/epiText.h"

#include <cstring>

std::uint32_t epiFormatArg::word() const
{
    switch (kind_) {
    case Kind::Integer:
        return static_cast<std::uint32_t>(integer_);
    case Kind::Pointer:
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer_));
    default:
        return 0;
    }
}

std::uint64_t epiFormatArg::address() const
{
    if (kind_ == Kind::Pointer)
        return reinterpret_cast<std::uintptr_t>(pointer_);
    if (kind_ == Kind::String)
        return reinterpret_cast<std::uintptr_t>(string_);
    if (kind_ == Kind::Text)
        return reinterpret_cast<std::uintptr_t>(text_);
    return word();
}

const char* epiFormatArg::chars() const
{
    if (kind_ == Kind::String && string_)
        return string_;
    if (kind_ == Kind::Text && text_)
        return text_->getCStr();
    return "";
}

namespace {

// Digits from the lowest upwards, so 0 prints as "0".
std::string digits(std::uint64_t value, unsigned base, bool upper)
{
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char buffer[64];
    std::size_t n = 0;
    do {
        buffer[n++] = set[value % base];
        value /= base;
    } while (value != 0);
    std::string out;
    out.reserve(n);
    while (n > 0)
        out += buffer[--n];
    return out;
}

struct Field {
    bool leftAlign = false;
    bool zeroPad = false;
    std::size_t width = 0;
};

void pad(std::string& out, const std::string& body, const Field& field, bool negative = false)
{
    const std::size_t length = body.size() + (negative ? 1 : 0);
    const std::size_t fill = field.width > length ? field.width - length : 0;
    if (negative)
        out += '-';
    if (field.leftAlign) {
        out += body;
        out.append(fill, ' ');
    } else {
        out.append(fill, field.zeroPad ? '0' : ' ');
        out += body;
    }
}

} // namespace

std::string epiFormatText(const char* format, const epiFormatArg* args, std::size_t count)
{
    std::string out;
    if (!format)
        return out;
    std::size_t next = 0;
    const epiFormatArg none;
    auto slot = [&]() -> const epiFormatArg& { return next < count ? args[next++] : none; };

    for (const char* p = format; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        ++p;
        if (*p == '%') {
            out += '%';
            ++p;
            continue;
        }
        Field field;
        if (*p == '-') {
            field.leftAlign = true;
            ++p;
        }
        if (*p == '*') {
            field.width = slot().word();
            // A width from an argument is bounded like any written width.
            if (field.width > 65536)
                field.width = 65536;
            ++p;
        } else {
            field.zeroPad = *p == '0';
            while (*p >= '0' && *p <= '9') {
                if (field.width < 65536)
                    field.width = field.width * 10 + static_cast<std::size_t>(*p - '0');
                ++p;
            }
        }
        if (*p == 'l' || *p == 'L')
            ++p;
        if (*p == '\0')
            break;
        const char conversion = *p++;
        const epiFormatArg& arg = slot();
        const Field text{field.leftAlign, false, field.width};
        switch (conversion) {
        case 'd': {
            const auto value = static_cast<std::int32_t>(arg.word());
            const bool negative = value < 0;
            const std::uint64_t magnitude =
                negative ? std::uint64_t(-std::int64_t(value)) : std::uint64_t(value);
            pad(out, digits(magnitude, 10, false), field, negative);
            break;
        }
        case 'o':
            pad(out, digits(arg.word(), 8, false), field);
            break;
        case 'x':
            pad(out, digits(arg.word(), 16, false), field);
            break;
        case 'X':
            pad(out, digits(arg.word(), 16, true), field);
            break;
        case 'p': {
            std::string hex = digits(arg.address(), 16, true);
            if (hex.size() < 8)
                hex.insert(0, 8 - hex.size(), '0');
            pad(out, hex, field);
            break;
        }
        case 'c':
            pad(out, std::string(1, static_cast<char>(arg.word())), text);
            break;
        case 's':
        case 't':
            pad(out, arg.chars(), text);
            break;
        case 'k': {
            const std::uint32_t code = arg.word();
            std::string chars;
            for (int shift = 24; shift >= 0; shift -= 8) {
                const char c = static_cast<char>((code >> shift) & 0xFF);
                chars += c == '\0' ? '_' : c;
            }
            pad(out, chars, text);
            break;
        }
        case 'I': {
            const std::uint32_t address = arg.word();
            std::string dotted;
            for (int shift = 24; shift >= 0; shift -= 8) {
                if (shift != 24)
                    dotted += '.';
                dotted += digits((address >> shift) & 0xFF, 10, false);
            }
            pad(out, dotted, text);
            break;
        }
        case 'f':
            pad(out, digits(arg.word(), 10, false), field);
            out += "epitext_float_unsupported";
            break;
        default:
            pad(out, digits(arg.word(), 10, false), field);
            break;
        }
    }
    return out;
}
