#include "app/window_controls.h"

#include "app/control_ids.h"

namespace quellor::app {

#define QUELLOR_CONTROL(name) name(GetDlgItem(parent, ids::name))

WindowControls::WindowControls(HWND parent)
    : QUELLOR_CONTROL(标签2),
      QUELLOR_CONTROL(按钮_搜索路径),
      QUELLOR_CONTROL(选择框_搜索目录),
      QUELLOR_CONTROL(选择框2),
      QUELLOR_CONTROL(列表框_路径),
      QUELLOR_CONTROL(编辑框_文件名),
      QUELLOR_CONTROL(透明标签1),
      QUELLOR_CONTROL(单选框_整个电脑),
      QUELLOR_CONTROL(单选框_指定路径),
      QUELLOR_CONTROL(选择框1),
      QUELLOR_CONTROL(单选框_精确搜索),
      QUELLOR_CONTROL(单选框_模糊搜索),
      QUELLOR_CONTROL(按钮_复制到剪贴板),
      QUELLOR_CONTROL(超级列表框1),
      QUELLOR_CONTROL(进度条1),
      QUELLOR_CONTROL(按钮_立即搜索),
      QUELLOR_CONTROL(按钮_未搜索到文件),
      QUELLOR_CONTROL(按钮_停止搜索),
      QUELLOR_CONTROL(按钮1),
      QUELLOR_CONTROL(按钮2),
      QUELLOR_CONTROL(按钮3),
      QUELLOR_CONTROL(按钮5),
      QUELLOR_CONTROL(按钮4),
      QUELLOR_CONTROL(标签_状态),
      controls_{标签2,   按钮_搜索路径, 选择框_搜索目录,   选择框2,   列表框_路径, 编辑框_文件名,
                透明标签1, 单选框_整个电脑, 单选框_指定路径,   选择框1,   单选框_精确搜索, 单选框_模糊搜索,
                按钮_复制到剪贴板, 超级列表框1, 进度条1, 按钮_立即搜索, 按钮_未搜索到文件, 按钮_停止搜索,
                按钮1,   按钮2,       按钮3,           按钮5,     按钮4,       标签_状态} {}

#undef QUELLOR_CONTROL

}  // namespace quellor::app
