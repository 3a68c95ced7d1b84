// Encoders of the look-ahead encodings that have a backslash escape (VIQR):
// where the decoder would join the first byte of a character to the letter
// written before it (a + '(' read back as U+0103), a backslash goes first.
//
// Whether an encoding has the escape, and where it is needed, is read from
// its decoding table: the escape exists when a backslash begins sequences,
// and a byte needs it when, in the state the decoder is left in by what was
// written so far, the byte continues the pending letter.
#ifndef ZUUC_SRC_LEGACY_LOOKAHEAD_ESCAPE_H
#define ZUUC_SRC_LEGACY_LOOKAHEAD_ESCAPE_H

#include "zuuc/code_tables.h"
#include "zuuc/foundation.h"
#include "zuuc/transcoder.h"

namespace zuuc_internal::legacy {

// The tables of one look-ahead encoding: one decoding table and one encoding
// table are set, the others are null.
struct LookAheadTables {
    MBCStoUnicodeTable<unsigned short> const * to16;
    MBCStoUnicodeTable<unsigned int> const * to32;
    PlaneTable<unsigned short, unsigned short> const * from_16_16;
    PlaneTable<unsigned short, unsigned int> const * from_16_32;
    PlaneTable<unsigned int, unsigned short> const * from_32_16;
    PlaneTable<unsigned int, unsigned int> const * from_32_32;
};

// Whether the decoding table has the backslash escape.
bool HasBackslashEscape(LookAheadTables const & tables);

// Escaping encoders (call only when HasBackslashEscape).
Transcoder<unsigned int, char> * CreateEscapingFromUTF32(LookAheadTables const & tables,
                                                         UnicodeLibAllocator & allocator);
Transcoder<unsigned short, char> * CreateEscapingFromUTF16(LookAheadTables const & tables,
                                                           UnicodeLibAllocator & allocator);

}  // namespace zuuc_internal::legacy

#endif
