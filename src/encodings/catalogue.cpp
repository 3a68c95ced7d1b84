// The catalogue of table-driven encodings: one accessor per entry, built
// from the generated catalogue data, and the start-up code that creates all
// of them in catalogue order (which is also their registration order).
#include <cstddef>

#include "zuuc/catalogue.h"
#include "zuuc/char_encoding.h"
#include "zuuc/sbcs_encoding.h"

#include "encodings/generated/catalogue_data.inc"

namespace {

// The loader hook of every catalogue entry: the tables always come from the
// entry's encoding library.
void NoLoaderHook() {}

unsigned char const * SubstituteBytes(char const * bytes) {
    return reinterpret_cast<unsigned char const *>(bytes);
}

}  // namespace

// Every macro below dispatches on the Class column of ZUUC_CATALOGUE, so that
// only the encoding classes this library builds are instantiated. A class
// that is not built yet expands to nothing; to add one, give its three
// macros a body (as SBCSEncoding's) and declare its accessors in
// char_encoding.h.
#define ZUUC_CATALOGUE_DISPATCH(macro, Accessor, Class, ...) macro##_##Class(Accessor, __VA_ARGS__)

// --- accessor definitions ---------------------------------------------------

#define ZUUC_DEFINE_ACCESSOR(Accessor, Class, ...) \
    ZUUC_CATALOGUE_DISPATCH(ZUUC_DEFINE, Accessor, Class, __VA_ARGS__)

#define ZUUC_DEFINE_SBCSEncoding(Accessor, id, nicknames, mime, code_page, ascii, substitute,   \
                                 library)                                                       \
    SBCSEncoding & CharEncoding::Accessor() {                                                   \
        static SBCSEncoding encoding(TextEncodingID(id), SubstituteBytes(substitute), nicknames, \
                                     mime, code_page, ascii, &NoLoaderHook, library);           \
        return encoding;                                                                        \
    }
#define ZUUC_DEFINE_MBCSEncoding(...)
#define ZUUC_DEFINE_ModalEncoding(...)
#define ZUUC_DEFINE_MBCSLookAheadEncoding(...)
#define ZUUC_DEFINE_MixedBlockRangeEncoding(...)

ZUUC_CATALOGUE(ZUUC_DEFINE_ACCESSOR)

SBCSEncoding & CharEncoding::CP437() { return PC8CodePage437(); }
SBCSEncoding & CharEncoding::CP850() { return PC850Multilingual(); }

// --- every accessor, in creation order ----------------------------------------

#define ZUUC_CALL_ACCESSOR(Accessor, Class, ...) \
    ZUUC_CATALOGUE_DISPATCH(ZUUC_CALL, Accessor, Class, __VA_ARGS__)
#define ZUUC_CALL_SBCSEncoding(Accessor, ...) CharEncoding::Accessor();
#define ZUUC_CALL_MBCSEncoding(...)
#define ZUUC_CALL_ModalEncoding(...)
#define ZUUC_CALL_MBCSLookAheadEncoding(...)
#define ZUUC_CALL_MixedBlockRangeEncoding(...)

void CharEncoding::IncludeAllEncodings() {
    ZUUC_CATALOGUE(ZUUC_CALL_ACCESSOR)
    CP437();
    CP850();
}

namespace {

// Creates the catalogue encodings during the library's static
// initialisation, in catalogue order.
struct CatalogueCreation {
    CatalogueCreation() { ZUUC_CATALOGUE(ZUUC_CALL_ACCESSOR) }
};

CatalogueCreation const gCatalogueCreation;

// --- the nickname lists of the classes not built yet --------------------------

// Kept referenced (the generated data defines a list for every entry) until
// their classes exist.
#define ZUUC_PENDING(Accessor, Class, ...) ZUUC_CATALOGUE_DISPATCH(ZUUC_PENDING, Accessor, Class, __VA_ARGS__)
#define ZUUC_PENDING_SBCSEncoding(...)
#define ZUUC_PENDING_MBCSEncoding(Accessor, id, nicknames, ...) nicknames,
#define ZUUC_PENDING_ModalEncoding(Accessor, id, nicknames, ...) nicknames,
#define ZUUC_PENDING_MBCSLookAheadEncoding(Accessor, id, nicknames, ...) nicknames,
#define ZUUC_PENDING_MixedBlockRangeEncoding(Accessor, id, nicknames, ...) nicknames,

[[maybe_unused]] char const ** const kNotBuiltYet[] = {ZUUC_CATALOGUE(ZUUC_PENDING) nullptr};

// --- the public list agrees with the catalogue data ---------------------------

#define ZUUC_DATA_ID(Accessor, Class, ...) ZUUC_CATALOGUE_DISPATCH(ZUUC_DATA_ID, Accessor, Class, __VA_ARGS__)
#define ZUUC_DATA_ID_SBCSEncoding(Accessor, id, ...) id,
#define ZUUC_DATA_ID_MBCSEncoding(...)
#define ZUUC_DATA_ID_ModalEncoding(...)
#define ZUUC_DATA_ID_MBCSLookAheadEncoding(...)
#define ZUUC_DATA_ID_MixedBlockRangeEncoding(...)
#define ZUUC_LISTED_ID(Accessor, id) id,

constexpr unsigned long kSbcsDataIds[] = {ZUUC_CATALOGUE(ZUUC_DATA_ID)};
constexpr unsigned long kSbcsListedIds[] = {ZUUC_SBCS_CATALOGUE(ZUUC_LISTED_ID)};

constexpr bool SameOrder() {
    for (std::size_t i = 0; i < sizeof kSbcsDataIds / sizeof kSbcsDataIds[0]; ++i) {
        if (kSbcsDataIds[i] != kSbcsListedIds[i]) {
            return false;
        }
    }
    return true;
}

static_assert(sizeof kSbcsDataIds == sizeof kSbcsListedIds &&
                  sizeof kSbcsListedIds / sizeof kSbcsListedIds[0] == ZUUC_SBCS_CATALOGUE_COUNT,
              "ZUUC_SBCS_CATALOGUE lists a different number of entries than the catalogue data");
static_assert(SameOrder(), "ZUUC_SBCS_CATALOGUE is not in the catalogue's creation order");

}  // namespace
