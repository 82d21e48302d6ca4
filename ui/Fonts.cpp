#include "ui/Fonts.h"

#include <QList>
#include <QRawFont>

#include "util/NumberFormat.h"

namespace qor {

namespace {

// Every character a tree line's number may hold, whatever the regional settings.
QString NumberCharacters() {
  const platform::NumberSymbols& symbols = CurrentNumberSymbols();
  return QString::fromStdString("0123456789-" + symbols.decimal + symbols.grouping) +
         QString::fromUtf8("\u00a0\u202f'\u2019");
}

QFont Fixed(const QString& family, int pointSize) {
  QFont font(family, pointSize);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

}  // namespace

bool DrawsAll(const QFont& font, const QString& text) {
  // The font file itself: the metrics of a QFont answer for the fonts it falls back on too.
  const QRawFont raw = QRawFont::fromFont(font);
  for (const uint c : text.toUcs4()) {
    if (!raw.supportsCharacter(static_cast<char32_t>(c))) return false;
  }
  return true;
}

QFont FixedPitchFont(int pointSize) {
  const QString needed = NumberCharacters();
  for (const char* family : {"Courier New", "DejaVu Sans Mono", "Liberation Mono", "Noto Mono",
                             "Noto Sans Mono", "FreeMono"}) {
    QFont font = Fixed(family, pointSize);
    if (DrawsAll(font, needed)) return font;
  }
  return Fixed("Courier New", pointSize);
}

}  // namespace qor
