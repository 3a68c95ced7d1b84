// Round trips between every pair of the 16- and 32-bit Unicode forms and
// their byte streams, through converter sources and converter sinks, checked
// against an oracle that serialises code points on its own; and the rule
// that splitting the input anywhere changes nothing.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <type_traits>

#include "support/utf16_support.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_test::utf16;

namespace {

struct Form {
    std::string label;
    TextEncoding const * encoding;
    int width;  // 1, 2 or 4 bytes per code unit of the encoding
    int unit;   // 2 or 4: the Unicode unit the form carries
    bool mark;
    bool big;
};

std::vector<Form> const & AllForms() {
    static std::vector<Form> const forms = [] {
        bool const m = MachineIsBigEndian();
        CharEncoding::Unicode20ByteStream();
        CharEncoding::UTF32ByteStream();
        EncodingVariation::LittleEndian();
        EncodingVariation::BigEndian();
        std::vector<Form> f = {
            {"UTF-16", &Char16Encoding::UTF16(), 2, 2, false, m},
            {"UTF-16:BOM", Char16Encoding::Lookup("UTF-16:BOM"), 2, 2, true, m},
            {"UTF-32", &Char32Encoding::UTF32(), 4, 4, false, m},
            {"UTF-32:BOM", Char32Encoding::Lookup("UTF-32:BOM"), 4, 4, true, m},
            {"UCS2", &CharEncoding::UCS2(), 1, 2, false, m},
            {"BMP", &CharEncoding::Unicode20BigEndian(), 1, 2, false, true},
            {"UTF-16:little-endian", CharEncoding::Lookup("UTF-16:little-endian"), 1, 2, false, false},
            {"Unicode20ByteStream", &CharEncoding::Unicode20ByteStream(), 1, 2, true, m},
            {"UTF-16:BOM:big-endian", CharEncoding::Lookup("UTF-16:BOM:big-endian"), 1, 2, true, true},
            {"UTF-16:BOM:x86", CharEncoding::Lookup("UTF-16:BOM:x86"), 1, 2, true, false},
            {"UTF32 bytes", &CharEncoding::UTF32(), 1, 4, false, m},
            {"UTF32BigEndian", &CharEncoding::UTF32BigEndian(), 1, 4, false, true},
            {"UTF-32:x86", CharEncoding::Lookup("UTF-32:x86"), 1, 4, false, false},
            {"UTF32ByteStream", &CharEncoding::UTF32ByteStream(), 1, 4, true, m},
            {"UTF-32:BOM:68k", CharEncoding::Lookup("UTF-32:BOM:68k"), 1, 4, true, true},
            {"UTF-32:BOM:little-endian", CharEncoding::Lookup("UTF-32:BOM:little-endian"), 1, 4, true, false},
        };
        return f;
    }();
    return forms;
}

// What `form` holds for the code points, by the oracle.
Units32 Expected(Form const & form, Units32 const & text) {
    Units32 units;
    if (form.mark && !text.empty()) {
        units.push_back(0xFEFF);
    }
    if (form.unit == 2) {
        for (u16 u : ToUTF16(text)) units.push_back(u);
    } else {
        units.insert(units.end(), text.begin(), text.end());
    }
    if (form.width != 1) {
        return units;
    }
    Bytes const bytes = Serialise(units, static_cast<unsigned>(form.unit), form.big);
    return Units32(bytes.begin(), bytes.end());
}

template <class V>
Units32 Widen(V const & v) {
    return Units32(v.begin(), v.end());
}

// The stream classes of each width of encoding.
template <class Encoding>
struct Kind;
template <>
struct Kind<CharEncoding> {
    using Source = ByteSource;
    using Converter = CharEncodingConverter;
    using ConverterSink = CharEncodingConverterSink;
    using Sink = StringCharSink;
    using Unit = char;
};
template <>
struct Kind<Char16Encoding> {
    using Source = Unit16Source;
    using Converter = Char16EncodingConverter;
    using ConverterSink = Char16EncodingConverterSink;
    using Sink = StringChar16Sink;
    using Unit = u16;
};
template <>
struct Kind<Char32Encoding> {
    using Source = Unit32Source;
    using Converter = Char32EncodingConverter;
    using ConverterSink = Char32EncodingConverterSink;
    using Sink = StringChar32Sink;
    using Unit = u32;
};

template <class E>
using KindOf = Kind<std::decay_t<E>>;

// Calls `f` with the form's encoding as the class of its width.
template <class F>
Units32 WithEncoding(Form const & form, F f) {
    switch (form.width) {
        case 1: return f(*form.encoding->AsCharEncoding());
        case 2: return f(*form.encoding->AsChar16Encoding());
        default: return f(*form.encoding->AsChar32Encoding());
    }
}

Units32 ThroughSource(Form const & in, Form const & out, Units32 const & input,
                      std::vector<std::size_t> const & pieces, std::mt19937 & rng) {
    return WithEncoding(in, [&](auto const & from) {
        typename KindOf<decltype(from)>::Source source(input, pieces);
        return WithEncoding(out, [&](auto const & to) {
            typename KindOf<decltype(to)>::Converter c(source, from, to);
            return Widen(Drain(c, &rng));
        });
    });
}

Units32 ThroughSink(Form const & in, Form const & out, Units32 const & input,
                    std::vector<std::size_t> const & pieces, bool flush) {
    return WithEncoding(out, [&](auto const & to) {
        using Out = KindOf<decltype(to)>;
        typename Out::Sink target;
        WithEncoding(in, [&](auto const & from) {
            using In = KindOf<decltype(from)>;
            std::vector<typename In::Unit> const units(input.begin(), input.end());
            typename In::ConverterSink sink(from, to, target);
            std::size_t at = 0;
            for (std::size_t piece : pieces) {
                sink.Put(units.data() + at, units.data() + at + piece);
                at += piece;
            }
            if (flush) {
                sink.Flush();
            }
            return Units32{};  // destroying the sink finishes whatever is still owed
        });
        if constexpr (std::is_same_v<typename Out::Sink, StringCharSink>) {
            return Widen(BytesOf(target));
        } else {
            return Widen(UnitsOf(target));
        }
    });
}

TEST(UnicodeFormsRoundTripTest, EveryPairThroughSourcesAndSinks) {
    std::mt19937 rng(7);
    std::vector<Units32> const texts = {
        {},
        {0x41},
        {0x41, 0xE9, 0x4E00, 0xFFFD, 0x10000, 0x1F600, 0x10FFFF, 0x0},
    };
    for (Form const & in : AllForms()) {
        ASSERT_NE(in.encoding, nullptr) << in.label;
        for (Form const & out : AllForms()) {
            for (Units32 const & text : texts) {
                Units32 const input = Expected(in, text);
                Units32 const expected = Expected(out, text);
                std::vector<std::size_t> const whole = {input.size()};
                EXPECT_EQ(ThroughSource(in, out, input, whole, rng), expected)
                    << in.label << " -> " << out.label << " (source), " << text.size() << " chars";
                EXPECT_EQ(ThroughSink(in, out, input, whole, true), expected)
                    << in.label << " -> " << out.label << " (sink), " << text.size() << " chars";
            }
        }
    }
}

TEST(UnicodeFormsRoundTripTest, RandomTextRandomPiecesMatchTheOracle) {
    std::mt19937 rng(20240611);
    auto const & forms = AllForms();
    std::uniform_int_distribution<std::size_t> pick(0, forms.size() - 1);
    for (int round = 0; round < 400; ++round) {
        Form const & in = forms[pick(rng)];
        Form const & out = forms[pick(rng)];
        // The first text crosses every buffer boundary.
        std::size_t const length = std::uniform_int_distribution<std::size_t>(0, 60)(rng);
        Units32 const text = RandomText(rng, round == 0 ? 5000 : length);
        Units32 const input = Expected(in, text);
        Units32 const expected = Expected(out, text);
        auto const pieces = RandomPieces(rng, input.size(), 7);
        ASSERT_EQ(ThroughSource(in, out, input, pieces, rng), expected)
            << in.label << " -> " << out.label << " round " << round;
        ASSERT_EQ(ThroughSink(in, out, input, pieces, round % 2 == 0), expected)
            << in.label << " -> " << out.label << " round " << round;
    }
}

// Malformed input gives the same output however it is split.
TEST(UnicodeFormsRoundTripTest, MalformedInputIsSplitInvariant) {
    std::mt19937 rng(11);
    struct Case {
        std::size_t in;
        std::size_t out;
        Units32 input;
        Units32 expected;
    };
    std::vector<Case> const cases = {
        // UCS-2 big-endian: a high surrogate before "A", a split pair, a
        // lone low surrogate, an odd byte at the end.
        {5, 2, {0xD8, 0x3D, 0x00, 0x41, 0xD8, 0x3D, 0xDE, 0x00, 0xDC, 0x00, 0x00},
         {0xFFFD, 0x41, 0x1F600, 0xDC00, 0xFFFD}},
        // UTF-32 big-endian: a value above U+10FFFF, a surrogate code
        // point, a pair's worth, three bytes left over.
        {11, 0, {0x00, 0x11, 0x00, 0x00, 0x00, 0x00, 0xD8, 0x00, 0x00, 0x01, 0xF6, 0x00, 0x00, 0x00, 0x41},
         {0xFFFD, 0xD800, 0xD83D, 0xDE00, 0xFFFD}},
        // UTF-16 units: high surrogates not followed by low ones.
        {0, 2, {0xD83D, 0x41, 0xDBFF, 0xDBFF, 0xDFFF, 0xD800}, {0xFFFD, 0x41, 0xFFFD, 0x10FFFF, 0xFFFD}},
    };
    for (Case const & c : cases) {
        Form const & in = AllForms()[c.in];
        Form const & out = AllForms()[c.out];
        std::vector<std::size_t> const whole = {c.input.size()};
        EXPECT_EQ(ThroughSource(in, out, c.input, whole, rng), c.expected) << in.label;
        EXPECT_EQ(ThroughSink(in, out, c.input, whole, true), c.expected) << in.label;
        for (std::size_t cut = 1; cut < c.input.size(); ++cut) {
            std::vector<std::size_t> const two = {cut, c.input.size() - cut};
            EXPECT_EQ(ThroughSource(in, out, c.input, two, rng), c.expected) << in.label << " cut " << cut;
            EXPECT_EQ(ThroughSink(in, out, c.input, two, true), c.expected) << in.label << " cut " << cut;
        }
        std::vector<std::size_t> const ones(c.input.size(), 1);
        EXPECT_EQ(ThroughSource(in, out, c.input, ones, rng), c.expected) << in.label;
        EXPECT_EQ(ThroughSink(in, out, c.input, ones, false), c.expected) << in.label;
    }
}

}  // namespace
