// Unicode normalization as sources: NFD, NFC, NFKD, NFKC (Unicode 4.0 data).
//
// NormalizationTransform reads a Char32Source (or a Char16Source, read as
// UTF-16) and yields the text in the requested form as UTF-32;
// NormalizationTransform16 reads and yields UTF-16 and never splits a
// surrogate pair between two windows. Any other Form value passes the text
// through unchanged.
//
// Characters that the optional test refuses are exempt: they are neither
// decomposed nor composed, and no mark is reordered or composed across them.
//
// Offsets: for each unit of the current window GetOffsetMap gives the input
// position (counted in input units from the start of the input) of the unit
// it came from; units of a decomposition all map to the decomposed unit, a
// composite maps to its first (starter) unit. GetOffsetAt answers for any
// output position produced so far (positions past the current window count
// on from the input consumed; for very long texts with many changes only the
// most recent few thousand changes of mapping are kept, and older positions
// map to the oldest one kept).
//
// A run of more than 512 marks (far beyond any real text) is put in
// canonical order piece by piece, at most 512 marks at a time; NFC and NFD
// may cut such a run in different places.
//
// A transform reads its input ahead (up to 1024 units); the input must
// outlive it. Used by one thread at a time.
#ifndef ZUUC_NORMALIZATION_H
#define ZUUC_NORMALIZATION_H

#include "zuuc/export.h"
#include "zuuc/sources.h"
#include "zuuc/transforms.h"

class CharacterTest;

class ZUUC_EXPORT NormalizationTransform : public UnicodeTransform {
public:
    enum Form : int { NFD = 0, NFC = 1, NFKD = 2, NFKC = 3 };

    NormalizationTransform(Char32Source & source, Form form, CharacterTest const * test = nullptr);
    // Reads `source` as UTF-16 (through an owned converter); offsets count
    // code points of it.
    NormalizationTransform(Char16Source & source, Form form, CharacterTest const * test = nullptr);
    NormalizationTransform(NormalizationTransform const &) = delete;
    NormalizationTransform & operator=(NormalizationTransform const &) = delete;
    ~NormalizationTransform() override;

    bool GetOffsetMap(unsigned int *& map, unsigned int & count) override;
    unsigned int GetOffsetAt(unsigned int offset) override;

    Form GetForm() const { return form_; }

protected:
    bool FillBuffer() override;

private:
    struct State;
    Form form_;
    State * state_;
};

class ZUUC_EXPORT NormalizationTransform16 : public Char16Source {
public:
    enum Form : int { NFD = 0, NFC = 1, NFKD = 2, NFKC = 3 };

    NormalizationTransform16(Char16Source & source, Form form,
                             CharacterTest const * test = nullptr);
    NormalizationTransform16(NormalizationTransform16 const &) = delete;
    NormalizationTransform16 & operator=(NormalizationTransform16 const &) = delete;
    ~NormalizationTransform16() override;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    bool GetOffsetMap(unsigned int *& map, unsigned int & count) override;
    unsigned int GetOffsetAt(unsigned int offset) override;

    Form GetForm() const { return form_; }

protected:
    bool FillBuffer() override;

private:
    struct State;
    Form form_;
    State * state_;
};

#endif
