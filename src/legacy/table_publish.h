// Installing code tables into an encoding that other threads may already be
// converting with.
#ifndef ZUUC_SRC_LEGACY_TABLE_PUBLISH_H
#define ZUUC_SRC_LEGACY_TABLE_PUBLISH_H

namespace zuuc_internal::legacy {

// Leaves a table field alone when it already holds the value, so that
// installing the same tables again writes nothing a converting thread reads,
// and a field never passes through null on its way to the same table.
template <class T>
void Publish(T & field, T value) {
    if (field != value) {
        field = value;
    }
}

}  // namespace zuuc_internal::legacy

#endif
