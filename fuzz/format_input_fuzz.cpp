// Fuzzes the formatted-input engine of both widths. The input gives a mode
// byte (width), the format text and then the text to read. Every argument
// is a pointer to storage with room for the longest field the text can
// give, so c, s, [ and n always write into valid memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_input.h"
#include "zuuc/wide_format.h"

namespace {

constexpr int kArguments = 12;

template <class Unit>
int Scan(Unit const * text, Unit const * format, std::vector<long double> & storage,
         std::size_t stride) {
    long double * const p = storage.data();
#define ZUUC_FUZZ_ARGS                                                                  \
    p + 0 * stride, p + 1 * stride, p + 2 * stride, p + 3 * stride, p + 4 * stride,     \
        p + 5 * stride, p + 6 * stride, p + 7 * stride, p + 8 * stride, p + 9 * stride, \
        p + 10 * stride, p + 11 * stride
    if constexpr (sizeof(Unit) == 2) {
        return zu_swscanf_16(text, format, ZUUC_FUZZ_ARGS);
    } else {
        return zu_swscanf_32(text, format, ZUUC_FUZZ_ARGS);
    }
#undef ZUUC_FUZZ_ARGS
}

template <class Unit>
void Run(FuzzInput & in) {
    std::vector<Unit> const format = in.Text<Unit>();
    int conversions = 0;
    for (Unit unit : format)
        conversions += unit == '%';
    if (conversions > kArguments)
        return;
    std::vector<Unit> const text = in.Text<Unit>();
    // Each field stores at most the whole text and a terminator.
    std::size_t const stride = (text.size() + 1) * sizeof(Unit) / sizeof(long double) + 2;
    std::vector<long double> storage(stride * kArguments);
    int const result = Scan<Unit>(text.data(), format.data(), storage, stride);
    if (result < -1 || result > conversions)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const * data, std::size_t size) {
    FuzzInput in(data, size);
    if (in.Byte() & 1) {
        Run<unsigned int>(in);
    } else {
        Run<unsigned short>(in);
    }
    return 0;
}
