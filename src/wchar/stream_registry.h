// The library's per-stream state for the wide-character stream functions
// (internal).
//
// One process-wide table, keyed by FILE pointer, holds what stdio does not
// keep for us: one pushed-back unit and the orientation set by zu_fwide_16.
// Every operation below is one step under the table's mutex, so two threads
// never both take the same pushed-back unit, and no caller ever holds on to
// a record. A stream has an entry only while it has state to keep, so
// streams that are read without pushback or orientation cost nothing, and a
// stream closed with plain fclose leaves at most one small entry, which the
// next zu_fopen that returns the same FILE pointer drops.
//
// The table is created on first use and never destroyed, so streams may be
// used from static destructors of the program.
#ifndef ZUUC_SRC_WCHAR_STREAM_REGISTRY_H
#define ZUUC_SRC_WCHAR_STREAM_REGISTRY_H

#include <cstdio>

namespace zuuc_internal::wchar {

enum StreamOrientation : int { kUnoriented = 0, kWide = 1, kByte = 2 };

// Drops everything kept for f.
void ForgetStream(std::FILE * f);

// Takes the pushed-back unit of f into *unit; false when there is none.
bool TakePushback(std::FILE * f, unsigned int * unit);

// Stores unit as f's pushed-back unit; false when one is already there.
bool StorePushback(std::FILE * f, unsigned int unit);

// Sets f's orientation to `wanted` when it has none (kUnoriented asks only)
// and returns the orientation f then has.
StreamOrientation Orient(std::FILE * f, StreamOrientation wanted);

}  // namespace zuuc_internal::wchar

#endif
