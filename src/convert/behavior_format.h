// Formatting of numeric character references for the behaviours.
#ifndef ZUUC_SRC_CONVERT_BEHAVIOR_FORMAT_H
#define ZUUC_SRC_CONVERT_BEHAVIOR_FORMAT_H

namespace zuuc_internal {

// Writes "&#<value>;" followed by a terminating zero into `buffer`, the
// value in decimal as printf's "%d" writes an int (with a leading '-' for a
// negative value), and returns the number of units written before the zero.
// The longest result, "&#-2147483648;", needs 15 units of the 32.
template <class Unit>
unsigned int FormatDecimalReference(int value, Unit (&buffer)[32]) {
    char digits[12];
    unsigned int count = 0;
    // Work in unsigned arithmetic so that the most negative int is safe.
    unsigned int magnitude =
        value < 0 ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0u);

    unsigned int length = 0;
    buffer[length++] = static_cast<Unit>('&');
    buffer[length++] = static_cast<Unit>('#');
    if (value < 0) {
        buffer[length++] = static_cast<Unit>('-');
    }
    while (count != 0) {
        buffer[length++] = static_cast<Unit>(digits[--count]);
    }
    buffer[length++] = static_cast<Unit>(';');
    buffer[length] = 0;
    return length;
}

}  // namespace zuuc_internal

#endif
