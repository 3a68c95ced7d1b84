// The string classes on their own storage: each input byte pair is one
// operation (assign, append, erase, find, copy, c_str, self-assignment and
// ranges taken from the string's own units) applied both to a zu_string /
// zu_wstring / zu_utf32_string and to a std::basic_string model, which must
// agree after every step. The first byte picks the class.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "zuuc/exceptions.h"
#include "zuuc/strings.h"

namespace {

template <class S, class T>
void Agree(S const & s, std::basic_string<T> const & model, unsigned op, unsigned arg) {
    unsigned at = 0;
    T const * data = s.data();
    while (at < s.size() && at < model.size() && data[at] == model[at])
        ++at;
    if (s.size() != model.size() || at != s.size()) {
        std::fprintf(stderr,
                     "operation %u (argument %u): size %u, model %zu, first difference at %u\n", op,
                     arg, s.size(), model.size(), at);
        std::abort();
    }
}

template <class S, class T>
void Run(std::uint8_t const * data, std::size_t size) {
    S s;
    std::basic_string<T> model;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        unsigned const op = data[i] % 13;
        unsigned const arg = data[i + 1];
        unsigned const len = s.size();
        unsigned const pos = len == 0 ? 0 : arg % len;
        unsigned const n = arg % 7;
        try {
            switch (op) {
                case 0: {  // append units
                    std::basic_string<T> const add(n, static_cast<T>('a' + arg % 26));
                    s.append(add.data(), n);
                    model += add;
                    break;
                }
                case 1:  // assign own data
                    s.assign(s.data(), n);
                    break;
                case 2:  // assign a range inside the own units, cut at their end
                    if (len != 0) {
                        s.assign(s.data() + pos, n);
                        if (pos != 0)
                            model = model.substr(pos, n);  // data() itself: unchanged
                    }
                    break;
                case 3:  // append a range of the own units
                    if (len != 0) {
                        s.append(s.data() + pos, n);
                        model += model.substr(pos, n);
                    }
                    break;
                case 4:  // s += s (up to 64 Ki units: doubling without end only runs out of memory)
                    if (len <= 0x10000) {
                        s += s;
                        model += model;
                    }
                    break;
                case 5:  // self-assignment
                    s = *&s;
                    s.assign(s);
                    break;
                case 6:  // erase
                    if (len != 0) {
                        s.erase(pos, n);
                        model.erase(pos, n);
                    } else {
                        s.erase();
                        model.clear();
                    }
                    break;
                case 7: {  // c_str terminates
                    T const * text = s.c_str();
                    if (text[len] != 0)
                        std::abort();
                    break;
                }
                case 8: {  // copy
                    std::vector<T> out(n + 1);
                    unsigned const got = s.copy(out.data(), n, len == 0 ? 0 : pos);
                    if (got != std::min<std::size_t>(n, len - (len == 0 ? 0 : pos)))
                        std::abort();
                    break;
                }
                case 9: {  // find a piece of itself
                    S const piece(s, pos, n);
                    unsigned const at = s.find(piece, 0);
                    std::size_t const expected = model.find(model.substr(pos, n));
                    if (at != (expected == std::basic_string<T>::npos ? S::npos : expected))
                        std::abort();
                    break;
                }
                case 10:  // a unit appended, one written through operator[]
                    s += static_cast<T>(arg);
                    model += static_cast<T>(arg);
                    if (arg != 0) {
                        s[s.size() - 1] = static_cast<T>(arg + 1);
                        model.back() = static_cast<T>(arg + 1);
                    }
                    break;
                case 11: {  // a copy, then assignment back through operator=
                    S copy(s);
                    s = copy.c_str();
                    model = model.substr(0, std::min(model.size(), model.find(T(0))));
                    break;
                }
                default:  // compare with a copy
                    if (S(s).compare(s) != 0)
                        std::abort();
                    break;
            }
        } catch (zu_exception const &) {
            std::abort();  // every operation above is within range
        }
        Agree(s, model, op, arg);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const * data, std::size_t size) {
    if (size == 0)
        return 0;
    switch (data[0] % 3) {
        case 0:
            Run<zu_string, char>(data + 1, size - 1);
            break;
        case 1:
            Run<zu_wstring, unsigned short>(data + 1, size - 1);
            break;
        default:
            Run<zu_utf32_string, unsigned int>(data + 1, size - 1);
            break;
    }
    return 0;
}
