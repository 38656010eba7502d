// The hint over the names box: a transparent label of grey example names,
// created above the box. The box draws over it whenever it paints, changes
// its text or scrolls, so the hint is drawn again after the box each time;
// once the box holds text the hint goes.
#pragma once

#include <windows.h>

namespace quellor::app {

class NamesBoxHint {
 public:
  NamesBoxHint(HWND hint, HWND box) : hint_(hint), box_(box) {}

  // Typed, pasted or set by a command: once the box holds text, the example
  // names would only stand in its way.
  void BoxTextChanged();
  void BoxPainted();
  void BoxDrewAtOnce();
  // WM_CTLCOLORSTATIC for `control`: the hint's colours into `brush`; false
  // for any other control.
  bool AnswerColour(HDC dc, HWND control, LRESULT& brush) const;

 private:
  HWND hint_;
  HWND box_;
};

}  // namespace quellor::app
