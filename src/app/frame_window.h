// 外形框_搜索范围 and 外形框_匹配方式: an area in the button-face colour outlined by a 1-pixel
// black line, lying under the radio buttons it groups.
#pragma once

#include <windows.h>

namespace quellor::app {

bool RegisterFrameClass(HINSTANCE instance);

}  // namespace quellor::app
