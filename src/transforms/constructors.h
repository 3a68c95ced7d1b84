// Internal helper of the transform sources.
#ifndef ZUUC_TRANSFORMS_CONSTRUCTORS_H
#define ZUUC_TRANSFORMS_CONSTRUCTORS_H

// The two constructors (over a Char32Source and over a Char16Source, each
// with a test) and the destructor of a transform whose base takes
// (source, test, extra...); the extra arguments follow a leading comma.
#define ZUUC_TRANSFORM_CONSTRUCTORS(Name, Base, ...)              \
    Name::Name(Char32Source & source, CharacterTest const * test) \
        : Base(source, test __VA_ARGS__) {}                       \
    Name::Name(Char16Source & source, CharacterTest const * test) \
        : Base(source, test __VA_ARGS__) {}                       \
    Name::~Name() = default;

#endif
