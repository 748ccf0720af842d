#include "device/FieldText.h"

#include <cstring>

std::size_t FieldLength(const char* field, std::size_t size) {
  if (!field || size == 0) return 0;
  const void* nul = std::memchr(field, 0, size);
  return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : size;
}

std::string FieldText(const char* field, std::size_t size) {
  return std::string(field ? field : "", FieldLength(field, size));
}

bool SameModuleName(const char* field, std::size_t size, const char* model) {
  auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c; };
  const std::size_t length = FieldLength(field, size);
  std::size_t i = 0;
  for (; i < length; ++i)
    if (!model[i] || upper(static_cast<unsigned char>(field[i])) != upper(static_cast<unsigned char>(model[i])))
      return false;
  return model[i] == 0;
}

std::size_t CopyFieldText(char* dest, std::size_t destSize, const char* source, std::size_t sourceSize) {
  if (!dest || destSize == 0) return 0;
  std::size_t length = FieldLength(source, sourceSize);
  if (length > destSize - 1) length = destSize - 1;
  if (length) std::memmove(dest, source, length);
  std::memset(dest + length, 0, destSize - length);
  return length;
}
