#include "faces/win32/resources/win32_font.h"

#include <cstring>

#include "rules/screen/screen_layout.h"

namespace quorvel::win32 {

int DrawnHeight(const FontDescription& font, int screenHeight) {
  return screen::DrawnFontHeight(font.height, screenHeight);
}

LOGFONTA ToLogFont(const FontDescription& font, int screenHeight) {
  LOGFONTA logFont{};
  const int drawn = DrawnHeight(font, screenHeight);
  logFont.lfHeight = font.height < 0 ? -drawn : drawn;
  logFont.lfWidth = font.width;
  logFont.lfEscapement = font.escapement;
  logFont.lfOrientation = font.orientation;
  logFont.lfWeight = font.weight;
  logFont.lfItalic = font.italic;
  logFont.lfUnderline = font.underline;
  logFont.lfStrikeOut = font.strikeOut;
  logFont.lfCharSet = font.charSet;
  logFont.lfOutPrecision = font.outPrecision;
  logFont.lfClipPrecision = font.clipPrecision;
  logFont.lfQuality = font.quality;
  logFont.lfPitchAndFamily = font.pitchAndFamily;
  // The record's face name is zero-terminated within its 32 bytes; one that is not
  // (an edited store) is cut at 31.
  std::memcpy(logFont.lfFaceName, font.faceName.data(), LF_FACESIZE);
  logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
  return logFont;
}

}  // namespace quorvel::win32
