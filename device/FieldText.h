// Bounded reading and copying of the fixed-width text fields that the device
// library fills. A field holds text terminated by a NUL inside the field, but
// the library may fill it to the last byte: these helpers never look past
// the field's end, nor write past the destination's.
#pragma once

#include <cstddef>
#include <string>

// Length of the text at the start of a field: up to the first NUL, or the
// whole field when it has none. A null field has length 0.
std::size_t FieldLength(const char* field, std::size_t size);

// The text at the start of a field, up to its first NUL or the field's end.
std::string FieldText(const char* field, std::size_t size);

template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return FieldText(field, N);
}

// Whether the text of a field is the given module name, without regard to
// letter case (the models report "K200", "K390", "K600" and "K80-50").
bool SameModuleName(const char* field, std::size_t size, const char* model);

// Copies the text at the start of a source field into a destination field
// of destSize bytes: at most destSize - 1 characters, always followed by a
// NUL, and the rest of the destination zero-filled. Returns the number of
// characters copied. Nothing is written when destSize is 0.
std::size_t CopyFieldText(char* dest, std::size_t destSize, const char* source, std::size_t sourceSize);

template <std::size_t N>
std::size_t CopyFieldText(char (&dest)[N], const char* source, std::size_t sourceSize) {
  return CopyFieldText(dest, N, source, sourceSize);
}
