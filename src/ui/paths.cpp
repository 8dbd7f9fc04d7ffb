#include "ui/paths.hpp"

namespace orvella::ui {

QString getFilename(const QString& dirname, QStringView separators) {
  qsizetype start = 0;
  for (qsizetype i = dirname.size(); i > 0; --i) {
    if (separators.contains(dirname[i - 1])) {
      start = i;
      break;
    }
  }
  const QString name = dirname.mid(start);
  const qsizetype dot = name.lastIndexOf(u'.');
  return dot < 0 ? name : name.left(dot);
}

QString withTrailingSeparator(const QString& folder, QStringView separators, QChar separator) {
  if (folder.isEmpty() || separators.contains(folder.back())) return folder;
  return folder + separator;
}

}  // namespace orvella::ui
