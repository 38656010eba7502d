#include "app/names_box_hint.h"

namespace quellor::app {

namespace {

constexpr COLORREF kHintColour = RGB(192, 192, 192);

}  // namespace

void NamesBoxHint::BoxTextChanged() {
  if (hint_ == nullptr || (GetWindowLongA(hint_, GWL_STYLE) & WS_VISIBLE) == 0) return;
  if (GetWindowTextLengthW(box_) > 0) ShowWindow(hint_, SW_HIDE);
}

void NamesBoxHint::BoxPainted() {
  if (hint_ == nullptr || !IsWindowVisible(hint_)) return;
  RedrawWindow(hint_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// Left to the box's next paint: a command that appends many lines repaints once.
void NamesBoxHint::BoxDrewAtOnce() {
  if (hint_ == nullptr || !IsWindowVisible(hint_)) return;
  RedrawWindow(box_, nullptr, nullptr, RDW_INVALIDATE);
}

bool NamesBoxHint::AnswerColour(HDC dc, HWND control, LRESULT& brush) const {
  if (control != hint_ || hint_ == nullptr) return false;
  // Transparent: light grey text over whatever the box shows.
  SetTextColor(dc, kHintColour);
  SetBkMode(dc, TRANSPARENT);
  brush = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  return true;
}

}  // namespace quellor::app
