// File-name pieces the window shows and builds, with the platform's separators.
#pragma once

#include <QString>
#include <QStringView>

namespace orvella::ui {

#ifdef Q_OS_WIN
inline constexpr QStringView kPathSeparators = u"\\/";
inline constexpr QChar kNativeSeparator = u'\\';
#else
inline constexpr QStringView kPathSeparators = u"/";
inline constexpr QChar kNativeSeparator = u'/';
#endif

// The last path component without its extension (from its last dot); a dot in a folder name
// is not an extension.
QString getFilename(const QString& dirname, QStringView separators = kPathSeparators);

// The folder with one separator at its end, ready for a file name; empty stays empty.
QString withTrailingSeparator(const QString& folder, QStringView separators = kPathSeparators,
                              QChar separator = kNativeSeparator);

}  // namespace orvella::ui
