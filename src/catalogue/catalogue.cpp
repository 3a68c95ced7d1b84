// The catalogue of table-driven encodings: one accessor per entry, built
// from the generated catalogue data, and the start-up code that creates all
// of them in catalogue order (which is also their registration order).
#include "zuuc/catalogue.h"

#include <cstddef>

#include "catalogue/generated/catalogue_data.inc"
#include "encodings/registry.h"
#include "zuuc/char_encoding.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/modal_encoding.h"
#include "zuuc/range_encoding.h"
#include "zuuc/sbcs_encoding.h"

namespace {

// The loader hook of every catalogue entry: the tables always come from the
// entry's encoding library.
void NoLoaderHook() {}

unsigned char const * SubstituteBytes(char const * bytes) {
    return reinterpret_cast<unsigned char const *>(bytes);
}

}  // namespace

// Every macro below dispatches on the Class column of ZUUC_CATALOGUE, so that
// each entry is built by the constructor of its own encoding class.
#define ZUUC_CATALOGUE_DISPATCH(macro, Accessor, Class, ...) macro##_##Class(Accessor, __VA_ARGS__)

// --- accessor definitions ---------------------------------------------------

#define ZUUC_DEFINE_ACCESSOR(Accessor, Class, ...) \
    ZUUC_CATALOGUE_DISPATCH(ZUUC_DEFINE, Accessor, Class, __VA_ARGS__)

#define ZUUC_DEFINE_SBCSEncoding(Accessor, id, nicknames, mime, code_page, ascii, substitute,    \
                                 library)                                                        \
    SBCSEncoding & CharEncoding::Accessor() {                                                    \
        static SBCSEncoding encoding(TextEncodingID(id), SubstituteBytes(substitute), nicknames, \
                                     mime, code_page, ascii, &NoLoaderHook, library);            \
        return encoding;                                                                         \
    }
#define ZUUC_DEFINE_MBCSEncoding(Accessor, id, nicknames, mime, code_page, ascii, substitute,    \
                                 library)                                                        \
    MBCSEncoding & CharEncoding::Accessor() {                                                    \
        static MBCSEncoding encoding(TextEncodingID(id), SubstituteBytes(substitute), nicknames, \
                                     mime, code_page, ascii, &NoLoaderHook, library);            \
        return encoding;                                                                         \
    }
#define ZUUC_DEFINE_MBCSLookAheadEncoding(Accessor, id, nicknames, mime, code_page, ascii,      \
                                          substitute, library)                                  \
    MBCSLookAheadEncoding & CharEncoding::Accessor() {                                          \
        static MBCSLookAheadEncoding encoding(TextEncodingID(id), SubstituteBytes(substitute),  \
                                              nicknames, mime, code_page, ascii, &NoLoaderHook, \
                                              library);                                         \
        return encoding;                                                                        \
    }
// A modal entry takes its modes, per-mode substitutes, escape matrix and
// return-to-initial flag from ZUUC_MODAL_CATALOGUE (ModalData_<Accessor>).
#define ZUUC_DEFINE_ModalEncoding(Accessor, id, nicknames, mime, code_page, ascii, substitute,   \
                                  library)                                                       \
    ModalEncoding & CharEncoding::Accessor() {                                                   \
        static ModalEncoding encoding(                                                           \
            TextEncodingID(id), ModalData_##Accessor::Substitutes(), nicknames, mime, code_page, \
            ascii, ModalData_##Accessor::kModes, ModalData_##Accessor::Escapes(),                \
            ModalData_##Accessor::kReturnToInitial, &NoLoaderHook, library);                     \
        return encoding;                                                                         \
    }
// GB18030, the one mixed block range encoding, with its four-byte ranges.
#define ZUUC_DEFINE_MixedBlockRangeEncoding(Accessor, id, nicknames, mime, code_page, ascii,      \
                                            substitute, library)                                  \
    MixedBlockRangeEncoding & CharEncoding::Accessor() {                                          \
        static MixedBlockRangeEncoding encoding(TextEncodingID(id), SubstituteBytes(substitute),  \
                                                nicknames, mime, code_page, ascii, &NoLoaderHook, \
                                                library, RangeSpec::GB18030());                   \
        return encoding;                                                                          \
    }

namespace {

#define ZUUC_MODAL_DATA(Accessor, modes, substitutes, escapes, return_to_initial) \
    struct ModalData_##Accessor {                                                 \
        static constexpr int kModes = modes;                                      \
        static constexpr bool kReturnToInitial = return_to_initial;               \
        static unsigned char const ** Substitutes() { return substitutes; }       \
        static unsigned char const ** Escapes() { return escapes; }               \
    };
ZUUC_MODAL_CATALOGUE(ZUUC_MODAL_DATA)
#undef ZUUC_MODAL_DATA

static_assert(ZUUC_MIXED_RANGE_CATALOGUE_COUNT == 1,
              "every mixed block range entry is given GB18030's ranges");

char const * kNicknames_HZGB2312[] = {"HZ-GB-2312", "HZ", "csHZGB2312", nullptr};

}  // namespace

ZUUC_CATALOGUE(ZUUC_DEFINE_ACCESSOR)

HZEncoding & CharEncoding::HZGB2312() {
    static HZEncoding encoding(TextEncodingID::HZGB2312(), SubstituteBytes("\x1A"),
                               kNicknames_HZGB2312, "HZ-GB-2312", 0);
    return encoding;
}

SBCSEncoding & CharEncoding::CP437() {
    return PC8CodePage437();
}
SBCSEncoding & CharEncoding::CP850() {
    return PC850Multilingual();
}

// --- every accessor, in creation order ----------------------------------------

#define ZUUC_CALL_ACCESSOR(Accessor, Class, ...) \
    ZUUC_CATALOGUE_DISPATCH(ZUUC_CALL, Accessor, Class, __VA_ARGS__)
#define ZUUC_CALL_SBCSEncoding(Accessor, ...) CharEncoding::Accessor();
#define ZUUC_CALL_MBCSEncoding(Accessor, ...) CharEncoding::Accessor();
#define ZUUC_CALL_ModalEncoding(Accessor, ...) CharEncoding::Accessor();
#define ZUUC_CALL_MBCSLookAheadEncoding(Accessor, ...) CharEncoding::Accessor();
#define ZUUC_CALL_MixedBlockRangeEncoding(Accessor, ...) CharEncoding::Accessor();

void CharEncoding::IncludeAllEncodings() {
    ZUUC_CATALOGUE(ZUUC_CALL_ACCESSOR)
    HZGB2312();
    CP437();
    CP850();
}

namespace {

// Creates the catalogue encodings during the library's static
// initialisation, in catalogue order, then the variations and their variants,
// then the auto-detecting encodings (whose candidates are all made by then),
// so that every encoding is found by name on the first call.
struct CatalogueCreation {
    CatalogueCreation() {
        ZUUC_CATALOGUE(ZUUC_CALL_ACCESSOR)
        CharEncoding::HZGB2312();
        zuuc_internal::registry::CreateVariations();
        CharEncoding::ChineseAutoDetect();
        CharEncoding::JapaneseAutoDetect();
        CharEncoding::KoreanAutoDetect();
    }
};

CatalogueCreation const gCatalogueCreation;

// --- the public list agrees with the catalogue data ---------------------------

#define ZUUC_DATA_ID(Accessor, Class, ...) \
    ZUUC_CATALOGUE_DISPATCH(ZUUC_DATA_ID, Accessor, Class, __VA_ARGS__)
#define ZUUC_LISTED_ID(Accessor, id) id,

// The identifiers of each class's entries, in catalogue order (and a 0).
#define ZUUC_DATA_ID_SBCSEncoding(Accessor, id, ...) id,
#define ZUUC_DATA_ID_MBCSEncoding(...)
#define ZUUC_DATA_ID_ModalEncoding(...)
#define ZUUC_DATA_ID_MBCSLookAheadEncoding(...)
#define ZUUC_DATA_ID_MixedBlockRangeEncoding(...)
constexpr unsigned long kSbcsDataIds[] = {ZUUC_CATALOGUE(ZUUC_DATA_ID) 0};
#undef ZUUC_DATA_ID_SBCSEncoding
#undef ZUUC_DATA_ID_MBCSEncoding

#define ZUUC_DATA_ID_SBCSEncoding(...)
#define ZUUC_DATA_ID_MBCSEncoding(Accessor, id, ...) id,
constexpr unsigned long kMbcsDataIds[] = {ZUUC_CATALOGUE(ZUUC_DATA_ID) 0};
#undef ZUUC_DATA_ID_MBCSEncoding
#undef ZUUC_DATA_ID_MBCSLookAheadEncoding

#define ZUUC_DATA_ID_MBCSEncoding(...)
#define ZUUC_DATA_ID_MBCSLookAheadEncoding(Accessor, id, ...) id,
constexpr unsigned long kLookAheadDataIds[] = {ZUUC_CATALOGUE(ZUUC_DATA_ID) 0};
#undef ZUUC_DATA_ID_MBCSLookAheadEncoding
#undef ZUUC_DATA_ID_ModalEncoding

#define ZUUC_DATA_ID_MBCSLookAheadEncoding(...)
#define ZUUC_DATA_ID_ModalEncoding(Accessor, id, ...) id,
constexpr unsigned long kModalDataIds[] = {ZUUC_CATALOGUE(ZUUC_DATA_ID) 0};
#undef ZUUC_DATA_ID_ModalEncoding
#undef ZUUC_DATA_ID_MixedBlockRangeEncoding

#define ZUUC_DATA_ID_ModalEncoding(...)
#define ZUUC_DATA_ID_MixedBlockRangeEncoding(Accessor, id, ...) id,
constexpr unsigned long kMixedDataIds[] = {ZUUC_CATALOGUE(ZUUC_DATA_ID) 0};

constexpr unsigned long kSbcsListedIds[] = {ZUUC_SBCS_CATALOGUE(ZUUC_LISTED_ID) 0};
constexpr unsigned long kMbcsListedIds[] = {ZUUC_MBCS_CATALOGUE(ZUUC_LISTED_ID) 0};
constexpr unsigned long kLookAheadListedIds[] = {ZUUC_MBCS_LOOKAHEAD_CATALOGUE(ZUUC_LISTED_ID) 0};
constexpr unsigned long kModalListedIds[] = {ZUUC_MODAL_ENCODING_CATALOGUE(ZUUC_LISTED_ID) 0};
constexpr unsigned long kMixedListedIds[] = {ZUUC_MIXED_RANGE_CATALOGUE(ZUUC_LISTED_ID) 0};

// Whether a public list names the catalogue data's entries of its class, in
// order (both lists end in a 0 that is no identifier).
template <std::size_t N, std::size_t M>
constexpr bool SameList(unsigned long const (&data)[N], unsigned long const (&listed)[M],
                        std::size_t count) {
    if (N != M || N != count + 1) {
        return false;
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (data[i] != listed[i]) {
            return false;
        }
    }
    return true;
}

static_assert(SameList(kSbcsDataIds, kSbcsListedIds, ZUUC_SBCS_CATALOGUE_COUNT),
              "ZUUC_SBCS_CATALOGUE does not list the single-byte entries in creation order");
static_assert(SameList(kMbcsDataIds, kMbcsListedIds, ZUUC_MBCS_CATALOGUE_COUNT),
              "ZUUC_MBCS_CATALOGUE does not list the multi-byte entries in creation order");
static_assert(
    SameList(kLookAheadDataIds, kLookAheadListedIds, ZUUC_MBCS_LOOKAHEAD_CATALOGUE_COUNT),
    "ZUUC_MBCS_LOOKAHEAD_CATALOGUE does not list the look-ahead entries in creation order");
static_assert(SameList(kModalDataIds, kModalListedIds, ZUUC_MODAL_ENCODING_CATALOGUE_COUNT),
              "ZUUC_MODAL_ENCODING_CATALOGUE does not list the modal entries in creation order");
static_assert(SameList(kMixedDataIds, kMixedListedIds, ZUUC_MIXED_RANGE_CATALOGUE_COUNT),
              "ZUUC_MIXED_RANGE_CATALOGUE does not list the mixed entries in creation order");

}  // namespace
