#include "app/file_drop_target.h"

#include <shellapi.h>

#include "platform/win32/wide_text_win32.h"

namespace quellor::app {

namespace {
FORMATETC FileDropFormat() { return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }
}  // namespace

HRESULT FileDropTarget::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG FileDropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG FileDropTarget::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

// A copy is what the user gets: the items themselves stay where they are.
DWORD FileDropTarget::EffectFor(DWORD allowed) {
  if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
  if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
  if (allowed & DROPEFFECT_MOVE) return DROPEFFECT_MOVE;
  return DROPEFFECT_NONE;
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  FORMATETC format = FileDropFormat();
  accepting_ = data != nullptr && data->QueryGetData(&format) == S_OK;
  if (effect) *effect = accepting_ ? EffectFor(*effect) : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = accepting_ ? EffectFor(*effect) : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT FileDropTarget::DragLeave() {
  accepting_ = false;
  return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  accepting_ = false;
  const std::vector<std::string> paths = DroppedPaths(data);
  if (effect) *effect = paths.empty() ? DROPEFFECT_NONE : EffectFor(*effect);
  if (!paths.empty() && on_drop_) on_drop_(paths);
  return S_OK;
}

std::vector<std::string> FileDropTarget::DroppedPaths(IDataObject* data) {
  std::vector<std::string> paths;
  if (data == nullptr) return paths;
  FORMATETC format = FileDropFormat();
  STGMEDIUM medium{};
  if (data->GetData(&format, &medium) != S_OK) return paths;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr) {
    // DragQueryFileW takes the handle itself and locks it on its own, and
    // reads a narrow list as well as a wide one.
    HDROP drop = static_cast<HDROP>(medium.hGlobal);
    {
      const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) continue;
        std::wstring path(length + 1, L'\0');
        const UINT got = DragQueryFileW(drop, i, path.data(), length + 1);
        if (got != length) continue;  // the list changed under us: take no cut path
        paths.push_back(platform::win32::Utf8Name(path.data(), got));
      }
    }
  }
  ReleaseStgMedium(&medium);
  return paths;
}

}  // namespace quellor::app
