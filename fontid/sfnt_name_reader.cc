#include "fontid/sfnt_name_reader.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "common/path_split.h"
#include "common/result_code.h"
#include "common/utf8.h"
#include "fontid/description_tag.h"

namespace kc {
namespace {

constexpr uint16_t kPlatformMacintosh = 1;
constexpr uint16_t kLanguageMacJapanese = 11;
constexpr uint16_t kPlatformWindows = 3;
constexpr uint16_t kEncodingWindowsBmp = 1;
constexpr uint16_t kEncodingWindowsFull = 10;
constexpr uint16_t kLanguageWindowsJapanese = 0x0411;
// A Unicode name is read up to the 255 UTF-16 units that the display name holds.
constexpr size_t kUnicodeNameMaxBytes = 2 * 255;
constexpr uint16_t kNameIdFullName = 4;
constexpr uint16_t kNameIdDescription = 13;
constexpr size_t kFullNameMax = kFullNameSize - 1;
constexpr uint64_t kLargestSeek = 0x7FFFFFFF;  // a 32-bit long

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using ScopedFile = std::unique_ptr<std::FILE, FileCloser>;

// Big-endian reads from the stream; each answers false when the file ends first.
class SfntStream {
 public:
  explicit SfntStream(std::FILE* file) : file_(file) {}

  bool ReadBytes(void* out, size_t n) { return std::fread(out, 1, n, file_) == n; }

  bool ReadU16(uint16_t& value) {
    unsigned char bytes[2];
    if (!ReadBytes(bytes, sizeof bytes)) return false;
    value = static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
    return true;
  }

  bool ReadU32(uint32_t& value) {
    unsigned char bytes[4];
    if (!ReadBytes(bytes, sizeof bytes)) return false;
    value = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
            static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
    return true;
  }

  // Offsets come from the file and may exceed what fseek can express: its long has 32 bits on
  // Windows, so an offset past 2^31 - 1 fails to seek. Other systems are held to the same limit,
  // so that the native tests and fuzzers see what the program does.
  bool SeekTo(uint64_t offset) {
    if (offset > kLargestSeek) return false;
    return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
  }

  bool Tell(long& position) {
    position = std::ftell(file_);
    return position >= 0;
  }

  // The file's size, leaving the position at the start.
  bool MeasureSize(uint64_t& size) {
    long end = 0;
    if (std::fseek(file_, 0, SEEK_END) != 0 || !Tell(end)) return false;
    size = static_cast<uint64_t>(end);
    return std::fseek(file_, 0, SEEK_SET) == 0;
  }

 private:
  std::FILE* file_;
};

struct NameRecordFields {
  uint16_t platformID, encodingID, languageID, nameID, length, offset;
};

// The bytes of a longer name's whole characters that fit the field: a double-byte character whose
// trail byte would fall past it is left out, so the result list never shows half of one. The
// lead bytes are code page 932's (Macintosh Japanese names are Shift-JIS), whatever the system's.
size_t WholeCharactersInField(const char* text) {
  size_t end = 0;
  while (end < kFullNameMax) {
    const size_t width = IsCp932LeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > kFullNameMax) break;
    end += width;
  }
  return end;
}

// A later full name replaces an earlier one whole: the field holds the text up to its first zero
// byte, at most 255 bytes, and nothing of a longer earlier name survives behind it. `text` holds
// the first min(length, 255) bytes of a name of `length` bytes.
void StoreFullName(const char* text, size_t length, char (&fullName)[kFullNameSize]) {
  if (length == 0) return;
  std::memset(fullName, 0, sizeof fullName);
  const size_t count = length <= kFullNameMax ? length : WholeCharactersInField(text);
  for (size_t i = 0; i < count && text[i] != '\0'; ++i) fullName[i] = text[i];
}

void ClassifyDescription(const char* text, size_t length, OpenTypeFontRecord& record) {
  char description[kDescriptionMax + 1] = {};
  std::memcpy(description, text, length < kDescriptionMax ? length : kDescriptionMax);
  ClassifyDescriptionTag(description, record.kind);
  // The tag goes with the kind: a description long enough to decide the kind decides the tag.
  constexpr size_t kTagLength = sizeof record.tag - 1;
  if (std::strlen(description) >= kTagLength) std::memcpy(record.tag, description, kTagLength);
}

constexpr size_t kNameRecordSize = 12;

NameRecordFields ParseNameRecord(const unsigned char* p) {
  const auto u16 = [p](int at) { return static_cast<uint16_t>(p[at] << 8 | p[at + 1]); };
  return {u16(0), u16(2), u16(4), u16(6), u16(8), u16(10)};
}

// The Japanese full name in UTF-16 (big-endian), which can spell what code page 932 cannot.
bool IsUnicodeJapaneseFullName(const NameRecordFields& name) {
  return name.platformID == kPlatformWindows &&
         (name.encodingID == kEncodingWindowsBmp || name.encodingID == kEncodingWindowsFull) &&
         name.languageID == kLanguageWindowsJapanese && name.nameID == kNameIdFullName;
}

bool IsSelected(const NameRecordFields& name) {
  return (name.platformID == kPlatformMacintosh &&
          (name.nameID == kNameIdFullName || name.nameID == kNameIdDescription)) ||
         IsUnicodeJapaneseFullName(name);
}

// How many of a selected string's bytes are used.
size_t UsedBytes(const NameRecordFields& name) {
  const size_t limit = IsUnicodeJapaneseFullName(name) ? kUnicodeNameMaxBytes : kFullNameMax;
  return name.length < limit ? name.length : limit;
}

// A later Unicode name replaces an earlier one whole, up to its first zero unit; an odd last byte
// is no unit.
void StoreDisplayName(const unsigned char* text, size_t bytes, char (&displayName)[kDisplayNameSize]) {
  char16_t units[kUnicodeNameMaxBytes / 2];
  size_t count = 0;
  for (; count < bytes / 2; ++count) {
    units[count] = static_cast<char16_t>(text[2 * count] << 8 | text[2 * count + 1]);
    if (units[count] == 0) break;
  }
  if (count == 0) return;
  const std::string utf8 = Utf8FromUtf16(units, count);  // at most 3 bytes a unit: it fits
  std::memset(displayName, 0, sizeof displayName);
  std::memcpy(displayName, utf8.data(), utf8.size() < sizeof displayName ? utf8.size() : sizeof displayName - 1);
}

// The name records, and the strings they select, are each read with one read: a table may hold
// 65,535 records, and a seek and a read for each made one hostile file cost seconds. The outcome
// is that of reading record after record, string after string: a record cut short by the end of
// the file is a short read once the records before it are handled, a string that cannot be sought
// or is cut short ends the reading at its record. The stream stands at the first record; the
// records in the file (`fileSize` bytes) are all that is read of them, and the strings, which lie
// within 64 KB of `storageBase`, only the part up to 255 bytes that is used of each.
ResultCode ReadNameRecords(SfntStream& stream, uint64_t fileSize, uint16_t count, uint64_t storageBase,
                        OpenTypeFontRecord& record) {
  long recordsStart = 0;
  if (!stream.Tell(recordsStart)) return kSfntShortRead;
  const uint64_t inFile = fileSize > static_cast<uint64_t>(recordsStart)
                              ? fileSize - static_cast<uint64_t>(recordsStart) : 0;
  const uint64_t wanted = kNameRecordSize * count;
  std::vector<unsigned char> records(static_cast<size_t>(wanted < inFile ? wanted : inFile));
  if (!stream.ReadBytes(records.data(), records.size())) return kSfntShortRead;
  const size_t wholeRecords = records.size() / kNameRecordSize;

  // The bytes the selected strings use, from the first to the end of the last.
  uint64_t first = UINT64_MAX, end = 0;
  for (size_t i = 0; i < wholeRecords; ++i) {
    const NameRecordFields name = ParseNameRecord(&records[kNameRecordSize * i]);
    const uint64_t start = storageBase + name.offset;
    if (!IsSelected(name) || start > kLargestSeek || name.length > fileSize ||
        start > fileSize - name.length) {
      continue;
    }
    first = start < first ? start : first;
    const uint64_t used = UsedBytes(name);
    end = start + used > end ? start + used : end;
  }
  std::vector<char> strings;
  if (end > first) {
    strings.resize(static_cast<size_t>(end - first));
    if (!stream.SeekTo(first)) return kSfntSeekFailed;
    if (!stream.ReadBytes(strings.data(), strings.size())) return kSfntShortRead;
  }

  for (size_t i = 0; i < count; ++i) {
    if (i == wholeRecords) return kSfntShortRead;
    const NameRecordFields name = ParseNameRecord(&records[kNameRecordSize * i]);
    if (!IsSelected(name)) continue;
    const uint64_t start = storageBase + name.offset;
    const bool inFile = start <= kLargestSeek && name.length <= fileSize && start <= fileSize - name.length;
    // The Unicode name only names what is shown: one that is not there changes nothing else.
    if (IsUnicodeJapaneseFullName(name) && !inFile) continue;
    if (start > kLargestSeek) return kSfntSeekFailed;
    // Only the first 255 bytes are ever used, but the whole string must be there.
    if (!inFile) return kSfntShortRead;
    char text[kUnicodeNameMaxBytes + 1] = {};
    const size_t used = UsedBytes(name);
    if (used > 0) std::memcpy(text, strings.data() + (start - first), used);
    if (IsUnicodeJapaneseFullName(name)) {
      StoreDisplayName(reinterpret_cast<const unsigned char*>(text), used, record.displayName);
    } else if (name.nameID == kNameIdFullName) {
      if (name.languageID == kLanguageMacJapanese) StoreFullName(text, name.length, record.fullName);
    } else {
      ClassifyDescription(text, used, record);
    }
  }
  return kOk;
}

}  // namespace

ResultCode ReadSfntNameInfoFromStream(std::FILE* file, OpenTypeFontRecord& record) {
  SfntStream stream(file);
  // The size lets a string be checked before it is read, so a hostile record costs nothing.
  uint64_t fileSize = 0;
  if (!stream.MeasureSize(fileSize)) return kSfntShortRead;

  uint32_t sfntVersion = 0;
  uint16_t numTables = 0, searchRange = 0, entrySelector = 0, rangeShift = 0;
  if (!stream.ReadU32(sfntVersion) || !stream.ReadU16(numTables) || !stream.ReadU16(searchRange) ||
      !stream.ReadU16(entrySelector) || !stream.ReadU16(rangeShift)) {
    return kSfntShortRead;
  }

  // The whole directory is read, so a directory cut short fails even after "name" was seen;
  // the first "name" record counts.
  bool haveNameTable = false;
  uint32_t nameTableOffset = 0;
  for (uint16_t i = 0; i < numTables; ++i) {
    char tag[4];
    uint32_t checkSum = 0, offset = 0, length = 0;
    if (!stream.ReadBytes(tag, sizeof tag) || !stream.ReadU32(checkSum) || !stream.ReadU32(offset) ||
        !stream.ReadU32(length)) {
      return kSfntShortRead;
    }
    if (!haveNameTable && std::memcmp(tag, "name", 4) == 0) {
      haveNameTable = true;
      nameTableOffset = offset;
    }
  }
  if (!haveNameTable) return kOk;

  if (!stream.SeekTo(nameTableOffset)) return kSfntSeekFailed;
  uint16_t format = 0, count = 0, stringOffset = 0;
  if (!stream.ReadU16(format) || !stream.ReadU16(count) || !stream.ReadU16(stringOffset)) {
    return kSfntShortRead;
  }
  const uint64_t storageBase = static_cast<uint64_t>(nameTableOffset) + stringOffset;
  try {
    return ReadNameRecords(stream, fileSize, count, storageBase, record);
  } catch (const std::bad_alloc&) {
    return kSfntAllocationFailed;
  }
}

ResultCode ReadSfntNameInfo(OpenTypeFontRecord& record) {
  if (std::memchr(record.path, '\0', sizeof record.path) == nullptr) return kSfntOpenFailed;
  ScopedFile file(std::fopen(record.path, "rb"));
  if (!file) return kSfntOpenFailed;
  return ReadSfntNameInfoFromStream(file.get(), record);
}

}  // namespace kc
