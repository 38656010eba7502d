#include "platform/clipboard.h"

namespace quellor::platform {

namespace {

// There is no clipboard that every POSIX desktop shares: the hand-over
// always fails, so callers report it instead of claiming success.
class UnsupportedClipboard final : public Clipboard {
 public:
  bool PutDropList(std::string_view /*block*/) override { return false; }
  bool PutText(std::u16string_view /*text*/) override { return false; }
};

}  // namespace

std::unique_ptr<Clipboard> MakeSystemClipboard() { return std::make_unique<UnsupportedClipboard>(); }

}  // namespace quellor::platform
