// File-name pieces the window shows and builds, with the platform's separators.
#pragma once

#include <QString>
#include <QStringView>

#include "convert/defaults.hpp"

namespace orvella::ui {

inline constexpr QStringView kPathSeparators{orvella::kPathSeparators.data(),
                                             qsizetype(orvella::kPathSeparators.size())};
// The first separator is the platform's own.
inline constexpr QChar kNativeSeparator = orvella::kPathSeparators.front();

// The last path component without its extension (from its last dot); a dot in a folder name
// is not an extension.
QString getFilename(const QString& dirname, QStringView separators = kPathSeparators);

// The folder with one separator at its end, ready for a file name; empty stays empty.
QString withTrailingSeparator(const QString& folder, QStringView separators = kPathSeparators,
                              QChar separator = kNativeSeparator);

}  // namespace orvella::ui
