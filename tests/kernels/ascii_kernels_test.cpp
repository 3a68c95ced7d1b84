// The data-parallel kernels: both forms (portable and, where built, SSE2)
// against a plain reference, with the one unit that breaks a block at every
// position and with every kind of breaking value.
#include "kernels/ascii_kernels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace k = zuuc_internal::kernels;

namespace {

// The forms under test: each kernel once per form.
struct Forms {
    unsigned int (*high_bit_mask)(char const *);
    bool (*widen_ascii_16)(unsigned char const *, unsigned short *);
    bool (*widen_ascii_32)(unsigned char const *, unsigned int *);
    bool (*narrow_ascii_8)(unsigned short const *, unsigned char *);
    bool (*widen_bmp_8)(unsigned short const *, unsigned int *);
    bool (*narrow_bmp_8)(unsigned int const *, unsigned short *);
};

std::vector<Forms> AllForms() {
    std::vector<Forms> forms = {
        {&k::portable::HighBitMask32, &k::portable::WidenAscii16<unsigned short>,
         &k::portable::WidenAscii16<unsigned int>, &k::portable::NarrowAscii8,
         &k::portable::WidenBMP8, &k::portable::NarrowBMP8}};
#if ZUUC_KERNELS_SSE2
    forms.push_back({&k::sse2::HighBitMask32, &k::sse2::WidenAscii16<unsigned short>,
                     &k::sse2::WidenAscii16<unsigned int>, &k::sse2::NarrowAscii8,
                     &k::sse2::WidenBMP8, &k::sse2::NarrowBMP8});
#endif
    return forms;
}

class KernelForms : public testing::TestWithParam<Forms> {};

// `block` with the unit at `i` replaced by `value`.
template <class T, class V>
std::vector<T> Broken(std::vector<T> block, unsigned int i, V value) {
    block[i] = static_cast<T>(value);
    return block;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Each, KernelForms, testing::ValuesIn(AllForms()),
                         [](testing::TestParamInfo<Forms> const & param) {
                             return param.index == 0 ? std::string("portable")
                                                     : std::string("sse2");
                         });

TEST_P(KernelForms, HighBitMaskHasOneBitPerHighByte) {
    Forms const f = GetParam();
    EXPECT_EQ(0u, f.high_bit_mask(std::vector<char>(32, 'a').data()));
    EXPECT_EQ(0xFFFFFFFFu, f.high_bit_mask(std::vector<char>(32, static_cast<char>(0x90)).data()));
    for (unsigned int i = 0; i < 32; ++i) {
        for (int value : {0x80, 0xFF})
            EXPECT_EQ(1u << i,
                      f.high_bit_mask(Broken(std::vector<char>(32, 0x7F), i, value).data()))
                << i;
    }
}

TEST_P(KernelForms, WidenAndNarrowAsciiTakeAllOrNothing) {
    Forms const f = GetParam();
    std::vector<unsigned char> bytes(16);
    for (unsigned int i = 0; i < 16; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 1);
    std::vector<unsigned short> o16(16, 0xEEEE);
    std::vector<unsigned int> o32(16, 0xEEEE);
    ASSERT_TRUE(f.widen_ascii_16(bytes.data(), o16.data()) &&
                f.widen_ascii_32(bytes.data(), o32.data()));
    EXPECT_EQ(o16, std::vector<unsigned short>(bytes.begin(), bytes.end()));
    EXPECT_EQ(o32, std::vector<unsigned int>(bytes.begin(), bytes.end()));
    for (unsigned int i = 0; i < 16; ++i) {
        EXPECT_FALSE(f.widen_ascii_16(Broken(bytes, i, 0x80).data(), o16.data())) << i;
        EXPECT_FALSE(f.widen_ascii_32(Broken(bytes, i, 0x80).data(), o32.data())) << i;
    }

    std::vector<unsigned short> units = {'a', 'b', 0, 0x7F, 'c', 'd', 'e', 'f'};
    unsigned char out[8] = {};
    ASSERT_TRUE(f.narrow_ascii_8(units.data(), out));
    EXPECT_EQ(units, std::vector<unsigned short>(out, out + 8));
    for (unsigned int i = 0; i < 8; ++i) {
        for (unsigned short value : {0x80, 0xFF, 0x100, 0x7F80, 0xFFFF}) {
            EXPECT_FALSE(f.narrow_ascii_8(Broken(units, i, value).data(), out))
                << i << ' ' << value;
        }
    }
}

TEST_P(KernelForms, BMPWidenStopsAtSurrogatesAndNarrowAboveTheBMP) {
    Forms const f = GetParam();
    std::vector<unsigned short> units = {0, 0x41, 0x7FF, 0xD7FF, 0xE000, 0xFFFF, 0x8000, 0x1234};
    std::vector<unsigned int> wide(8);
    unsigned short narrow[8] = {};
    ASSERT_TRUE(f.widen_bmp_8(units.data(), wide.data()) && f.narrow_bmp_8(wide.data(), narrow));
    EXPECT_EQ(wide, std::vector<unsigned int>(units.begin(), units.end()));
    EXPECT_EQ(units, std::vector<unsigned short>(narrow, narrow + 8));
    std::vector<unsigned int> const block = wide;
    for (unsigned int i = 0; i < 8; ++i) {
        for (unsigned short value : {0xD800, 0xDBFF, 0xDC00, 0xDFFF}) {
            EXPECT_FALSE(f.widen_bmp_8(Broken(units, i, value).data(), wide.data()))
                << i << ' ' << value;
        }
        for (unsigned int value : {0x10000u, 0x10FFFFu, 0xFFFFFFFFu}) {
            EXPECT_FALSE(f.narrow_bmp_8(Broken(block, i, value).data(), narrow))
                << i << ' ' << value;
        }
    }
}

TEST(KernelRuns, StopAtTheFirstNonAsciiUnitOrTheEnd) {
    for (std::size_t length : {0u, 1u, 7u, 8u, 9u, 20u}) {
        for (std::size_t stop = 0; stop <= length; ++stop) {
            std::vector<unsigned char> bytes(length, 'x');
            std::vector<unsigned short> units(length, 'x');
            if (stop < length) {
                bytes[stop] = 0xC3;
                units[stop] = 0xE9;
            }
            std::vector<unsigned int> wide(length + 1, 0);
            unsigned int * out = wide.data();
            EXPECT_EQ(bytes.data() + stop,
                      k::WidenAsciiRun(bytes.data(), bytes.data() + length, out));
            EXPECT_EQ(wide.data() + stop, out);
            std::vector<char> narrow(length + 1, 0);
            char * o = narrow.data();
            EXPECT_EQ(units.data() + stop,
                      k::NarrowAsciiRun(units.data(), units.data() + length, o));
            EXPECT_EQ(std::string(stop, 'x'), std::string(narrow.data(), o));
        }
    }
}
