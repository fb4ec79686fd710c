#include "discovery/collection_font_list.h"

#include "common/append.h"
#include "common/result_code.h"

namespace kc {
namespace {

std::vector<CollectionFontRecord>& CollectionFontList() {
  static std::vector<CollectionFontRecord> list;
  return list;
}

}  // namespace

ResultCode AppendCollectionFont(const CollectionFontRecord& record) {
  AppendCopy(CollectionFontList(), record);
  return kOk;
}

int32_t GetCollectionFontCount() {
  return static_cast<int32_t>(CollectionFontList().size());
}

ResultCode GetCollectionFont(int32_t position, CollectionFontRecord& record) {
  const int32_t count = GetCollectionFontCount();
  if (position < 0 || position > count) return kCollectionIndexOutOfRange;
  if (position == count) return kCollectionIndexAtEnd;
  record = CollectionFontList()[static_cast<size_t>(position)];
  return kOk;
}

void SetLastCollectionFontOutcome(RemovalOutcome outcome) {
  if (!CollectionFontList().empty()) CollectionFontList().back().outcome = outcome;
}

void ClearCollectionFontList() {
  // swap, not clear(): release the storage too.
  std::vector<CollectionFontRecord>().swap(CollectionFontList());
}

}  // namespace kc
