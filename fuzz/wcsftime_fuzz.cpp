// Fuzzes zu_wcsftime_16 and zu_wcsftime_32: the input gives a mode byte
// (width, buffer size), the fields of the time and the format text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "fuzz_input.h"
#include "zuuc/wide_format.h"

namespace {

template <class Unit>
std::size_t Format(Unit * buf, std::size_t n, Unit const * format, std::tm const * time) {
    if constexpr (sizeof(Unit) == 2) {
        return zu_wcsftime_16(buf, n, format, time);
    } else {
        return zu_wcsftime_32(buf, n, format, time);
    }
}

template <class Unit>
void Run(FuzzInput & in, std::size_t n) {
    std::tm time = {};
    time.tm_sec = in.Byte() % 61;
    time.tm_min = in.Byte() % 60;
    time.tm_hour = in.Byte() % 24;
    time.tm_mday = in.Byte() % 31 + 1;
    time.tm_mon = in.Byte() % 12;
    time.tm_year = in.Number<short>();
    time.tm_wday = in.Byte() % 7;
    time.tm_yday = in.Number<unsigned short>() % 366;
    time.tm_isdst = in.Byte() % 2;
    std::vector<Unit> const format = in.Text<Unit>();
    std::vector<Unit> buf(n == 0 ? 1 : n);
    std::size_t const count = Format<Unit>(n == 0 ? nullptr : buf.data(), n, format.data(), &time);
    if (n == 0 ? count != 0 : (count >= n || buf[count] != 0))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const * data, std::size_t size) {
    FuzzInput in(data, size);
    std::uint8_t const mode = in.Byte();
    if (mode & 1) {
        Run<unsigned int>(in, mode >> 1);
    } else {
        Run<unsigned short>(in, mode >> 1);
    }
    return 0;
}
