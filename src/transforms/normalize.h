// The normalizer behind NormalizationTransform and NormalizationTransform16.
//
// `normalize` turns a chunk of text into one of the four normalization forms.
// It works on UTF-32 or UTF-16 units directly (a surrogate pair is read as one
// code point and written back as a pair). The caller hands it chunks that
// end before a boundary (or at the end of the input), so a chunk normalizes
// on its own.
//
// Inside a chunk, runs of inert units (see the generator's flags) are copied
// as they are (eight at a time where SSE2 is there); each stretch between two
// boundaries that holds anything else is a segment, which is decomposed, put
// in canonical order and, for NFC and NFKC, composed again. The common
// segments (a lone decomposable code point, a starter and one mark, Hangul)
// are written directly. In the composing forms the unit before a non-boundary
// joins the segment that follows it, so the copies give exactly what the full
// algorithm would, and so do the offsets.
//
// Offsets: every output unit maps to the input position of the unit it came
// from: a decomposition's units all map to the decomposed unit, a composite
// to its starter, a reordered mark to itself. The normalizer keeps them as
// runs (output position, input position, step: how far the input position
// moves per output unit, 0 within a decomposition), bounded in number:
// when the store is full the oldest half is dropped.
#ifndef ZUUC_TRANSFORMS_NORMALIZE_H
#define ZUUC_TRANSFORMS_NORMALIZE_H

#include <cstddef>
#include <cstdint>

class CharacterTest;

namespace zuuc_internal::normalization {

// Units handed over and taken back in one call.
template <typename Unit>
struct NormalizeParams {
    Unit const * input;
    std::size_t input_count;
    Unit * output;
    std::size_t output_capacity;    // at least kMinOutput
    std::uint32_t consumed_before;  // totals before this call: offsets are absolute
    std::uint32_t produced_before;
    CharacterTest const * test;  // units it refuses are neither decomposed nor composed
    std::size_t consumed;        // returned
    std::size_t produced;        // returned
};

class normalize {
public:
    static constexpr std::size_t kMinOutput = 64;
    static constexpr std::size_t kMaxSegment = 1024;  // code points of one decomposed segment
    // The output room the normalization transforms give each call. A run of
    // marks longer than half the room is cut and put in order piece by
    // piece, so a caller whose text must normalize as the transforms do
    // (collation) gives the same room.
    static constexpr std::size_t kTransformOutput = 1024;

    // `form` 0 NFD, 1 NFC, 2 NFKD, 3 NFKC; any other value copies its input.
    explicit normalize(int form);
    virtual ~normalize();

    // Whether the text can be cut before `cp` (see the generator's flags).
    virtual bool IsBoundary(std::uint32_t cp) const;

    // Normalizes a chunk: fills `consumed` and `produced`. Consumes at least one
    // unit of a non-empty chunk.
    virtual void Normalize(NormalizeParams<std::uint32_t> & p);
    virtual void Normalize(NormalizeParams<std::uint16_t> & p);

    // Where a chunk of `count` units may end while more input follows: the
    // last boundary that is not the first unit, or 0 when there is none.
    std::size_t LastBoundary(std::uint32_t const * units, std::size_t count) const;
    std::size_t LastBoundary(std::uint16_t const * units, std::size_t count) const;

    // The input position of output position `out` (see the header comment);
    // positions past what was produced count on from what was consumed.
    std::uint32_t OffsetAt(std::uint32_t out, std::uint32_t produced, std::uint32_t consumed) const;
    // The input positions of the `count` output positions from `out` on, all
    // produced by the latest call (whose runs are always kept).
    void FillOffsets(std::uint32_t out, std::size_t count, unsigned int * map) const;

    int Form() const { return form_; }

    // Forgets the offset runs (for a transform that starts over).
    void ResetOffsets() { run_count_ = 0; }

private:
    struct Work {
        std::uint32_t cp;
        std::uint32_t offset;
        std::int32_t ccc;  // -1: exempt by the test (never moved or composed)
    };
    struct Run {
        std::uint32_t out;
        std::uint32_t in;
        std::uint32_t step;
    };
    static constexpr std::size_t kMaxRuns = 4096;  // more than twice what one call makes

    template <typename Unit>
    void Run_(NormalizeParams<Unit> & p);
    template <typename Unit>
    std::size_t LastBoundary_(Unit const * units, std::size_t count) const;
    Run const * RunAt(std::uint32_t out) const;
    template <typename Unit>
    std::size_t Segment(NormalizeParams<Unit> & p, std::size_t start, std::size_t & o);
    template <typename Unit>
    void DecomposeBlocks(NormalizeParams<Unit> & p, std::size_t & i, std::size_t & o);
    template <typename Unit>
    std::size_t QuickSegment(NormalizeParams<Unit> & p, std::size_t start, std::size_t & o);
    template <typename Unit>
    void Put(NormalizeParams<Unit> & p, std::size_t & o, std::uint32_t cp, std::uint32_t offset);
    template <typename Unit>
    void PutSyllable(NormalizeParams<Unit> & p, std::size_t & o, std::uint32_t cp,
                     std::uint32_t offset);
    void Decompose(std::uint32_t cp, std::uint32_t offset, std::size_t & w);
    std::size_t Reorder(std::size_t w);
    std::size_t Compose(std::size_t w);
    // Records that output position `out` came from input position `in`.
    // Every unit of a group that maps to one position must be added (the
    // third and later of a group only extend the run the second made).
    void AddOffset(std::uint32_t out, std::uint32_t in) {
        if (run_count_ > 0) {
            Run & r = runs_[run_count_ - 1];
            if (in == r.in + r.step * (out - r.out))
                return;
            if (out == r.out + 1 && in >= r.in) {
                r.step = in - r.in;  // a run of one unit takes the step of its second
                return;
            }
        }
        NewRun(out, in);
    }
    void NewRun(std::uint32_t out, std::uint32_t in);
    bool Boundary(std::uint32_t cp) const;

    int form_;
    bool compose_;
    bool compatibility_;
    std::uint8_t inert_;
    std::uint8_t boundary_;
    std::size_t run_count_;
    Run runs_[kMaxRuns];
    Work work_[kMaxSegment + 32];
};

}  // namespace zuuc_internal::normalization

#endif
