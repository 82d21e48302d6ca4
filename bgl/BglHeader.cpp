#include "bgl/BglHeader.h"

#include "bgl/GetValue.h"
#include "lang/Tr.h"
#include "platform/File.h"
#include "text/PathText.h"

namespace qor {

namespace {

std::uint16_t Word(std::span<const unsigned char> start) {
  return static_cast<std::uint16_t>(start[0] | start[1] << 8);
}

}  // namespace

HeaderKind HeaderKindOf(std::span<const unsigned char> start) {
  if (start.size() < 2) return HeaderKind::kDamaged;
  switch (Word(start)) {
    case kReadableHeader:
      return HeaderKind::kReadable;
    case kOlderHeader:
      return HeaderKind::kOlderFormat;
    default:
      return HeaderKind::kDamaged;
  }
}

HeaderCheck CheckHeader(const std::string& path) {
  unsigned char bytes[2] = {};
  const std::size_t read = platform::File::OpenRead(path)->ReadAt(0, bytes, 2);
  const std::span<const unsigned char> start(bytes, read);
  HeaderCheck check;
  check.kind = HeaderKindOf(start);
  if (check.kind != HeaderKind::kDamaged) return check;
  if (read == 0) {
    check.message =
        Tr("Le fichier %1 est endommagé : il est trop court pour contenir un en-tête (0 octet).",
           {QuotedPath(path)});
  } else if (read == 1) {
    check.message =
        Tr("Le fichier %1 est endommagé : il est trop court pour contenir un en-tête (1 octet).",
           {QuotedPath(path)});
  } else {
    check.message =
        Tr("Le fichier %1 est endommagé ou n'est pas un fichier BGL : il commence par %2, ni $0201 "
           "(FS2004) ni $0001 (ancien format).",
           {QuotedPath(path), ValueToHex(Variant::Word(Word(start)))});
  }
  return check;
}

}  // namespace qor
