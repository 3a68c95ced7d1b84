#include "names.h"

#include <cstring>
#include <vector>

namespace zuuc_internal::names {

zu_wstring ToUnicode(char const * name) {
    zu_wstring result;
    if (name == nullptr) {
        return result;
    }
    std::size_t const length = std::strlen(name);
    std::vector<unsigned short> units;
    units.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        auto const byte = static_cast<unsigned char>(name[i]);
        units.push_back(byte < 0x80 ? byte : 0xFFFD);
    }
    result.assign(units.data(), static_cast<unsigned>(units.size()));
    return result;
}

}  // namespace zuuc_internal::names
