#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/lib_string.h"

namespace ashtint {

// On Linux the library's strings are one malloc block: a 32-bit byte length, the wide text and a
// wide zero; the pointer handed around is the text, 4 bytes into the block.
wchar_t* AllocLibString(const wchar_t* text, std::uint32_t length) {
  const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(wchar_t);
  auto* block = static_cast<std::uint8_t*>(std::malloc(sizeof(std::uint32_t) + bytes + sizeof(wchar_t)));
  if (!block) throw std::bad_alloc();
  const auto byteLength = static_cast<std::uint32_t>(bytes);
  std::memcpy(block, &byteLength, sizeof byteLength);
  auto* str = reinterpret_cast<wchar_t*>(block + sizeof(std::uint32_t));
  if (length) std::memcpy(str, text, bytes);
  str[length] = L'\0';
  return str;
}

void FreeLibString(wchar_t* text) {
  if (text) std::free(reinterpret_cast<std::uint8_t*>(text) - sizeof(std::uint32_t));
}

}  // namespace ashtint
