#include "zuuc/code_tables.h"

// The instances of the generic tables in use, compiled once here.
template class LookupUnsignedLongTable<unsigned int>;
template class Table<unsigned int, unsigned int>;
template class RangeTable<unsigned int, unsigned int>;
template class LookupUnsignedLongTable<ZU_ULongLong>;
template class Table<ZU_ULongLong, unsigned int>;
template class SparseTable<ZU_ULongLong, unsigned int>;
