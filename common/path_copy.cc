#include "common/path_copy.h"

#include <cstring>

namespace kc {

bool CopyPath(char* out, size_t capacity, const char* from, size_t length) {
  if (length >= capacity) {
    if (capacity > 0) out[0] = '\0';
    return false;
  }
  std::memcpy(out, from, length);
  out[length] = '\0';
  return true;
}

bool CopyPath(char* out, size_t capacity, const char* from) {
  return CopyPath(out, capacity, from, std::strlen(from));
}

bool JoinPath(char* out, size_t capacity, const char* folder, const char* name) {
  const size_t folderLength = std::strlen(folder);
  // The name goes in first, so that a refused join writes nothing but zero bytes.
  if (folderLength < capacity && CopyPath(out + folderLength, capacity - folderLength, name)) {
    std::memcpy(out, folder, folderLength);
    return true;
  }
  if (capacity > 0) out[0] = '\0';
  return false;
}

}  // namespace kc
