#include <windows.h>

#include <optional>
#include <vector>

#include "platform/volume_device.h"
#include "platform/win32/drive_letter_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

namespace {

// What the system's device name for the letter points at: a volume's device
// ("\Device\HarddiskVolume2"), or for a SUBST letter the folder it stands
// for ("\??\D:\work"). Nothing when the system does not say.
std::optional<std::wstring> DeviceTarget(const wchar_t* letter) {
  std::vector<wchar_t> target(MAX_PATH);
  for (;;) {
    if (QueryDosDeviceW(letter, target.data(), static_cast<DWORD>(target.size())) != 0) return target.data();
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || target.size() >= 65536) return std::nullopt;
    target.resize(target.size() * 2);
  }
}

}  // namespace

VolumeFacts FactsOfVolume(const std::string& root) {
  VolumeFacts facts;
  const std::optional<wchar_t> drive = win32::DriveLetterOf(root);
  if (!drive) return facts;
  const wchar_t letter[] = {*drive, L':', L'\0'};
  const wchar_t folder[] = {*drive, L':', L'\\', L'\0'};
  facts.local_fixed = GetDriveTypeW(folder) == DRIVE_FIXED;
  // A letter the system says nothing of is not taken for a volume of its own.
  const std::optional<std::wstring> target = DeviceTarget(letter);
  facts.substituted = !target || target->rfind(L"\\??\\", 0) == 0;
  wchar_t file_system[MAX_PATH + 1] = {};
  if (GetVolumeInformationW(folder, nullptr, 0, nullptr, nullptr, nullptr, file_system, MAX_PATH + 1)) {
    facts.file_system = win32::Utf8Name(file_system);
  }
  return facts;
}

}  // namespace quellor::platform
