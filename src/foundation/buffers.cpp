// The inline buffer sizes that the library uses, compiled and exported once.
#include "zuuc/foundation.h"

template class zu_buffer<char, 1024>;
template class zu_buffer<unsigned short, 1024>;
template class zu_buffer<unsigned int, 1024>;
template class zu_buffer<unsigned int, 500>;
