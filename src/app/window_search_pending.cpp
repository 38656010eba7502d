// Until the search engine is on this branch: the search and stop buttons do nothing.
#include "app/window_search.h"

namespace quellor::app {

namespace {
class NoSearch : public WindowSearch {
 public:
  void Start() override {}
  void Stop() override {}
  void MatchModeChanged() override {}
  void DeliverPending() override {}
  void StopAndWait() override {}
  bool Running() const override { return false; }
};
}  // namespace

std::unique_ptr<WindowSearch> MakeWindowSearch(HWND, UINT, platform::Controls&, platform::Dialogs&) {
  return std::make_unique<NoSearch>();
}

}  // namespace quellor::app
