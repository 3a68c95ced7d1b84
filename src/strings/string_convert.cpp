// The encoding-aware constructors and assign overloads of the string
// classes: a converter sink writing into a string sink.
#include <cstring>
#include <type_traits>

#include "zuuc/char_encoding.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/sinks.h"
#include "zuuc/strings.h"
#include "zuuc/unicode_encodings.h"

namespace {

unsigned short const * TextEnd(unsigned short const * text) {
    while (*text != 0)
        ++text;
    return text;
}
char const * TextEnd(char const * text) {
    return text + std::strlen(text);
}

// The conversion of [begin, end) from `input` to `output`, through a
// converter sink of type Converter into a string sink of type Sink. Nothing
// of the caller's string is touched here, so whatever this throws leaves it
// as it was.
template <class Converter, class Sink, class Unit, class InputEncoding, class OutputEncoding>
auto Converted(Unit const * begin, Unit const * end, InputEncoding const & input,
               OutputEncoding const & output) -> typename std::decay<decltype(Sink().str())>::type {
    Sink sink;
    {
        Converter converter(input, output, sink);
        if (begin != end)
            converter.Put(begin, end);
        converter.Flush();
    }
    return sink.str();
}

zu_wstring BytesToUtf16(char const * begin, char const * end, CharEncoding const & encoding) {
    return Converted<CharEncodingConverterSink, StringChar16Sink>(begin, end, encoding,
                                                                  Char16Encoding::UTF16());
}

zu_utf32_string BytesToUtf32(char const * begin, char const * end, CharEncoding const & encoding) {
    return Converted<CharEncodingConverterSink, StringChar32Sink>(begin, end, encoding,
                                                                  Char32Encoding::UTF32());
}

zu_string Utf16ToBytes(unsigned short const * begin, unsigned short const * end,
                       CharEncoding const & encoding) {
    return Converted<Char16EncodingConverterSink, StringCharSink>(
        begin, end, Char16Encoding::UTF16(), encoding);
}

zu_utf32_string Utf16ToUtf32(unsigned short const * begin, unsigned short const * end) {
    return Converted<Char16EncodingConverterSink, StringChar32Sink>(
        begin, end, Char16Encoding::UTF16(), Char32Encoding::UTF32());
}

}  // namespace

// Every overload reduces to a (begin, end) range: a null text is the empty
// string (no conversion is made), a terminated text runs to its 0 unit.
#define ZUUC_ENCODING_MEMBERS(Class, Unit, Other, Convert)                                       \
    Class::Class(Unit const * text, CharEncoding const & encoding) {                             \
        assign(text, encoding);                                                                  \
    }                                                                                            \
    Class::Class(Unit const * begin, Unit const * end, CharEncoding const & encoding) {          \
        assign(begin, end, encoding);                                                            \
    }                                                                                            \
    Class::Class(Unit const * text, unsigned n, CharEncoding const & encoding) {                 \
        assign(text, n, encoding);                                                               \
    }                                                                                            \
    Class::Class(Other const & text, CharEncoding const & encoding) {                            \
        assign(text, encoding);                                                                  \
    }                                                                                            \
    Class & Class::assign(Unit const * text, CharEncoding const & encoding) {                    \
        return text == nullptr ? erase() : assign(text, TextEnd(text), encoding);                \
    }                                                                                            \
    Class & Class::assign(Unit const * begin, Unit const * end, CharEncoding const & encoding) { \
        if (begin == nullptr)                                                                    \
            return erase();                                                                      \
        return base_type::assign(Convert(begin, end, encoding));                                 \
    }                                                                                            \
    Class & Class::assign(Unit const * text, unsigned n, CharEncoding const & encoding) {        \
        return text == nullptr ? erase() : assign(text, text + n, encoding);                     \
    }                                                                                            \
    Class & Class::assign(Other const & text, CharEncoding const & encoding) {                   \
        return assign(text.data(), text.data() + text.size(), encoding);                         \
    }

ZUUC_ENCODING_MEMBERS(zu_wstring, char, zu_string, BytesToUtf16)
ZUUC_ENCODING_MEMBERS(zu_utf32_string, char, zu_string, BytesToUtf32)
ZUUC_ENCODING_MEMBERS(zu_string, unsigned short, zu_wstring, Utf16ToBytes)

#undef ZUUC_ENCODING_MEMBERS

zu_utf32_string::zu_utf32_string(unsigned short const * text) {
    assign(text);
}
zu_utf32_string::zu_utf32_string(unsigned short const * text, unsigned n) {
    assign(text, n);
}
zu_utf32_string::zu_utf32_string(zu_wstring const & text) {
    assign(text);
}

zu_utf32_string & zu_utf32_string::assign(unsigned short const * text) {
    return text == nullptr ? erase() : assign(text, static_cast<unsigned>(TextEnd(text) - text));
}
zu_utf32_string & zu_utf32_string::assign(unsigned short const * text, unsigned n) {
    if (text == nullptr)
        return erase();
    return base_type::assign(Utf16ToUtf32(text, text + n));
}
zu_utf32_string & zu_utf32_string::assign(zu_wstring const & text) {
    return assign(text.data(), text.size());
}
