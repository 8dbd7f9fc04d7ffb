#include "ui/paths.hpp"

namespace orvella::ui {

QString getFilename(const QString& dirname, QStringView separators) {
  const std::u16string name = nameWithoutExtension(
      {reinterpret_cast<const char16_t*>(dirname.utf16()), std::size_t(dirname.size())},
      {reinterpret_cast<const char16_t*>(separators.utf16()), std::size_t(separators.size())});
  return QString::fromStdU16String(name);
}

QString withTrailingSeparator(const QString& folder, QStringView separators, QChar separator) {
  if (folder.isEmpty() || separators.contains(folder.back())) return folder;
  return folder + separator;
}

}  // namespace orvella::ui
