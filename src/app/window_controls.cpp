#include "app/window_controls.h"

#include "app/control_ids.h"

namespace quellor::app {

#define QUELLOR_CONTROL_OVER_CHILD(kind, name, ...) QUELLOR_IF_COMMANDS_SEE_##kind(name(GetDlgItem(parent, ids::name)), )
#define QUELLOR_CONTROL_REFERENCE(kind, name, ...) QUELLOR_IF_COMMANDS_SEE_##kind(name, )

WindowControls::WindowControls(HWND parent)
    : QUELLOR_MAIN_WINDOW_CONTROLS(QUELLOR_CONTROL_OVER_CHILD)
      controls_{QUELLOR_MAIN_WINDOW_CONTROLS(QUELLOR_CONTROL_REFERENCE)} {}

#undef QUELLOR_CONTROL_REFERENCE
#undef QUELLOR_CONTROL_OVER_CHILD

bool WindowControls::Subclassed() const {
  return 编辑框_文件名.subclassed() && 列表框_路径.subclassed() && 超级列表框_结果.subclassed() &&
         透明标签_提示.subclassed();
}

}  // namespace quellor::app
