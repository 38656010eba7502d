// 拖放对象: the OLE drop target of the main window. It takes a shell file drop
// list (CF_HDROP) released anywhere on the window and hands over its paths in
// the list's order; any other data is refused.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

namespace quellor::app {

// COM objects are deleted through Release, never through a base pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FileDropTarget final : public IDropTarget {
 public:
  using DropHandler = std::function<void(const std::vector<std::string>& paths)>;
  explicit FileDropTarget(DropHandler on_drop) : on_drop_(std::move(on_drop)) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDropTarget
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

  // The paths of a CF_HDROP list (narrow or wide) in its order, in UTF-8;
  // empty when there is none.
  static std::vector<std::string> DroppedPaths(IDataObject* data);

 private:
  ~FileDropTarget() = default;
  static DWORD EffectFor(DWORD allowed);

  LONG references_ = 1;
  bool accepting_ = false;
  DropHandler on_drop_;
};
#pragma GCC diagnostic pop

}  // namespace quellor::app
