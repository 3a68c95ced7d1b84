// Installing the multi-byte, modal and mixed block range tables of an
// encoding library (the kMbcsTables and kModalTables of its
// generated/mbcs_tables.h) into zuuc421's encoding objects. Each encoding is
// found by its identifier; an entry whose encoding is not of the matching
// class, or whose tables do not pair up, is left alone.
#ifndef ZUUC_ENCODING_LIBS_MBCS_INSTALL_H
#define ZUUC_ENCODING_LIBS_MBCS_INSTALL_H

#include "zuuc/char_encoding.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/modal_encoding.h"
#include "zuuc/range_encoding.h"

namespace zuuc_module {

template <class Entry>
void InstallMbcsTables(Entry const * entries, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        Entry const & entry = entries[i];
        CharEncoding * const encoding = CharEncoding::Lookup(TextEncodingID(entry.id));
        if (auto * mixed = dynamic_cast<MixedBlockRangeEncoding *>(encoding)) {
            // GB18030: its table block.
            if (entry.to_unicode_16 != nullptr && entry.from_16_32 != nullptr) {
                mixed->InstallTables(entry.to_unicode_16, entry.from_16_32);
            } else if (entry.to_unicode_16 != nullptr && entry.from_16_16 != nullptr) {
                mixed->InstallTables(entry.to_unicode_16, entry.from_16_16);
            }
            continue;
        }
        auto * const mbcs = dynamic_cast<MBCSEncoding *>(encoding);
        if (mbcs == nullptr) {
            continue;
        }
        if (entry.to_unicode_16 != nullptr) {
            if (entry.from_16_16 != nullptr) {
                mbcs->InstallTables(entry.to_unicode_16, entry.from_16_16);
            } else if (entry.from_16_32 != nullptr) {
                mbcs->InstallTables(entry.to_unicode_16, entry.from_16_32);
            }
        } else if (entry.to_unicode_32 != nullptr) {
            if (entry.from_32_16 != nullptr) {
                mbcs->InstallTables(entry.to_unicode_32, entry.from_32_16);
            } else if (entry.from_32_32 != nullptr) {
                mbcs->InstallTables(entry.to_unicode_32, entry.from_32_32);
            }
        }
    }
}

template <class Entry>
void InstallModalTables(Entry const * entries, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        Entry const & entry = entries[i];
        auto * const modal =
            dynamic_cast<ModalEncoding *>(CharEncoding::Lookup(TextEncodingID(entry.id)));
        if (modal == nullptr || modal->ModeCount() != entry.mode_count) {
            continue;  // one plane table per mode, or none
        }
        if (entry.to_unicode_16 != nullptr) {
            modal->InstallTables(entry.to_unicode_16, entry.from_16);
        } else if (entry.to_unicode_32 != nullptr) {
            modal->InstallTables(entry.to_unicode_32, entry.from_32);
        }
    }
}

}  // namespace zuuc_module

#endif
