#include "app/window_fonts.h"

#include "app/window_dpi.h"

namespace quellor::app {

namespace {

HFONT StockGuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

}  // namespace

WindowFonts::WindowFonts(int dpi) {
  // No typeface named: the system picks its own for the character set.
  small_ = CreateFontA(-ScaleToDpi(kSmallFontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, nullptr);
  const int system_dpi = SystemDpi();
  LOGFONTA stock{};
  if (dpi != system_dpi && GetObjectA(StockGuiFont(), sizeof stock, &stock) == sizeof stock) {
    stock.lfHeight = MulDiv(stock.lfHeight, dpi, system_dpi);
    stock.lfWidth = MulDiv(stock.lfWidth, dpi, system_dpi);
    scaled_default_ = CreateFontIndirectA(&stock);
  }
}

WindowFonts::~WindowFonts() {
  if (small_ != nullptr) DeleteObject(small_);
  if (scaled_default_ != nullptr) DeleteObject(scaled_default_);
}

HFONT WindowFonts::Get(ControlFont font) const {
  if (font == ControlFont::Small && small_ != nullptr) return small_;
  return scaled_default_ != nullptr ? scaled_default_ : StockGuiFont();
}

}  // namespace quellor::app
