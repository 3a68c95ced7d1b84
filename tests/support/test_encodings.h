// Minimal concrete encodings for tests of the encoding machinery.
#ifndef ZUUC_TESTS_SUPPORT_TEST_ENCODINGS_H
#define ZUUC_TESTS_SUPPORT_TEST_ENCODINGS_H

#include "zuuc/char_encoding.h"
#include "zuuc/encoding_variation.h"

namespace zuuc_test {

// A byte encoding that converts nothing; its tables are a single pointer
// that an encoding library (or a loader hook) installs.
class TestByteEncoding : public BlockCharEncoding {
public:
    TestByteEncoding(unsigned long id, char const ** nicknames, char const * mime = nullptr,
                     unsigned code_page = 0)
        : BlockCharEncoding(TextEncodingID(id), Substitute(), nicknames, mime, code_page) {}

    // Starts not loaded; the tables live in `library` or come from `hook`.
    TestByteEncoding(unsigned long id, char const ** nicknames, LoaderFunction hook,
                     char const * library)
        : BlockCharEncoding(TextEncodingID(id), Substitute(), nicknames, nullptr, 0, hook,
                            library) {
        set_is_loaded(false);
    }

    // A variant made by a variation.
    TestByteEncoding(TextEncoding const & parent, EncodingVariation const & variation,
                     char const ** nicknames, char const * mime = nullptr)
        : BlockCharEncoding(parent, variation, nicknames, mime, 0) {}

    // What an encoding library calls to hand over its tables.
    void InstallTables(void const * table) {
        ++installs_;
        table_ = table;
        set_is_loaded(table != nullptr);
    }
    void const * Table() const { return table_; }
    int Installs() const { return installs_; }

    bool IsTextModeSafe() const override { return true; }
    Transcoder<char, unsigned int> * CreateConverterToUTF32(UnicodeLibAllocator &) const override {
        return nullptr;
    }
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator &) const override {
        return nullptr;
    }

private:
    static unsigned char const * Substitute() {
        static unsigned char const kSubstitute[] = {0x1A, 0};
        return kSubstitute;
    }
    void const * table_ = nullptr;
    int installs_ = 0;
};

// The streams of each width of Unicode.
template <class Unit>
struct StreamsOf;
template <>
struct StreamsOf<unsigned short> {
    using Source = Char16Source;
    using Sink = Char16Sink;
};
template <>
struct StreamsOf<unsigned int> {
    using Source = Char32Source;
    using Sink = Char32Sink;
};

// An encoding of Unicode code points in units of `Unit` that maps them
// unchanged and makes no converters or streams.
template <class Impl, class Unit>
class TestUnicodeEncoding : public Impl {
public:
    using Source = typename StreamsOf<Unit>::Source;
    using Sink = typename StreamsOf<Unit>::Sink;
    using Impl::Impl;

    unsigned int MapToUnicode(unsigned int c) const override { return c; }
    unsigned int MapFromUnicode(unsigned int c) const override { return c; }
    ToUnicodeSource * CreateCharSourceToUnicode(Source &, UnicodeLibAllocator &) const override {
        return nullptr;
    }
    Source * CreateCharSourceFromUnicode(Char32Source &, UnicodeLibAllocator &) const override {
        return nullptr;
    }
    Sink * CreateCharSinkToUnicode(Char32Sink &, UnicodeLibAllocator &) const override {
        return nullptr;
    }
    Char32Sink * CreateCharSinkFromUnicode(Sink &, UnicodeLibAllocator &) const override {
        return nullptr;
    }
    Transcoder<Unit, unsigned int> * CreateConverterToUTF32(UnicodeLibAllocator &) const override {
        return nullptr;
    }
    Transcoder<unsigned int, Unit> * CreateConverterFromUTF32(
        UnicodeLibAllocator &) const override {
        return nullptr;
    }
    Transcoder<Unit, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator &) const override {
        return nullptr;
    }
    Transcoder<unsigned short, Unit> * CreateConverterFromUTF16(
        UnicodeLibAllocator &) const override {
        return nullptr;
    }
};

class TestUnitEncoding : public TestUnicodeEncoding<Char16EncodingImpl, unsigned short> {
public:
    TestUnitEncoding(unsigned long id, char const ** nicknames, char const * mime = nullptr,
                     unsigned code_page = 0)
        : TestUnicodeEncoding(TextEncodingID(id), nicknames, mime, code_page) {}
    TestUnitEncoding(TextEncoding const & parent, EncodingVariation const & variation,
                     char const ** nicknames, char const * mime = nullptr)
        : TestUnicodeEncoding(parent, variation, nicknames, mime, 0) {}
};

class TestWideEncoding : public TestUnicodeEncoding<Char32EncodingImpl, unsigned int> {
public:
    TestWideEncoding(unsigned long id, char const ** nicknames, char const * mime = nullptr,
                     unsigned code_page = 0)
        : TestUnicodeEncoding(TextEncodingID(id), nicknames, mime, code_page) {}
};

}  // namespace zuuc_test

#endif
