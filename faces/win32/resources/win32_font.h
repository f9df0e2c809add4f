#pragma once
// Fonts and colours of the theme as GDI objects.

#include "app/theme.h"
#include "faces/win32/resources/windows_api.h"

namespace quorvel::win32 {

// The theme's font record as the system's LOGFONTA, its height bounded by
// `screenHeight` (a font is never drawn higher than the screen; the sign, which tells
// cell from character height, is kept).
LOGFONTA ToLogFont(const FontDescription& font, int screenHeight);

// The height `font` is drawn at, as the screen's rules count it.
int DrawnHeight(const FontDescription& font, int screenHeight);

// A GDI object owned alone; deleted with the owner.
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = handle;
  }
  Handle Get() const { return handle_; }
  // Gives the object up without deleting it.
  Handle Release() {
    Handle handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;

inline COLORREF ToColorRef(ColorRef colour) { return static_cast<COLORREF>(colour & 0xFFFFFF); }

}  // namespace quorvel::win32
