#include "fontid/description_tag.h"

#include <cstring>

#include "common/result_code.h"
#include "found_fonts/found_fonts.h"

namespace kc {
namespace {

constexpr size_t kTagLength = 4;

// In the order in which they are compared.
constexpr const char* kOtherVendorTags[] = {"Mfvl", "Ncvl"};
constexpr const char* kProductOpenTypeTags[] = {"KCHS", "KCHV", "KCHX", "KCPL", "KCPH"};
constexpr const char* kCollectionCovTag = "KCOV";
constexpr const char* kProductCollectionTags[] = {
    "KCHV", "KCPL", "KCPH", "KCVT", "KCHB", "SLH1", "SLH3",
    "SLH5", "MSTB", "MST1", "MST2", "MST4", "MVST"};

size_t DescriptionLength(const char* description) {
  size_t length = 0;
  while (length < static_cast<size_t>(kDescriptionMax) && description[length] != '\0') ++length;
  return length;
}

template <size_t N>
bool IsOneOf(const char (&tag)[kTagLength + 1], const char* const (&tags)[N]) {
  for (const char* candidate : tags) {
    if (std::memcmp(tag, candidate, kTagLength) == 0) return true;
  }
  return false;
}

}  // namespace

ResultCode ClassifyDescriptionTag(const char* description, FontKind& kind) {
  if (DescriptionLength(description) < kTagLength) return kOk;
  char tag[kTagLength + 1] = {};
  std::memcpy(tag, description, kTagLength);
  if (IsOneOf(tag, kOtherVendorTags)) {
    kind = kKindOtherVendor;
  } else if (IsOneOf(tag, kProductOpenTypeTags)) {
    kind = kKindProductOpenType;
  } else {
    kind = kKindNone;
  }
  return kOk;
}

ResultCode ClassifyCollectionTag(const char* description, FontKind& kind) {
  // A shorter description leaves zero bytes in the tag, which then matches nothing.
  const size_t length = DescriptionLength(description);
  char tag[kTagLength + 1] = {};
  std::memcpy(tag, description, length < kTagLength ? length : kTagLength);
  if (std::memcmp(tag, kCollectionCovTag, kTagLength) == 0) {
    kind = kKindProductCollectionCov;
  } else if (IsOneOf(tag, kProductCollectionTags)) {
    kind = kKindProductCollection;
  } else {
    return kUnknownCollectionTag;
  }
  return kOk;
}

int32_t ClassifyCollectionTag(const char* description) {
  FontKind kind = kKindNotIdentified;
  const ResultCode result = ClassifyCollectionTag(description, kind);
  return result == kOk ? static_cast<int32_t>(kind) : static_cast<int32_t>(result);
}

}  // namespace kc
