// File operations that pass every call on to others: the base of test doubles
// that change only what they look at.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "platform/file_operations.h"

namespace quellor::testing {

class ForwardingFileOperations : public platform::FileOperations {
 public:
  explicit ForwardingFileOperations(platform::FileOperations& inner) : inner_(inner) {}

  platform::OperationResult Copy(const std::string& source, platform::PathKind found_as, const std::string& target,
                                 platform::OnClash clash,
                                 const std::set<platform::FileIdentity>* found_items) override {
    return inner_.Copy(source, found_as, target, clash, found_items);
  }
  platform::OperationResult Move(const std::string& source, platform::PathKind found_as, const std::string& target,
                                 platform::OnClash clash,
                                 const std::set<platform::FileIdentity>* found_items) override {
    return inner_.Move(source, found_as, target, clash, found_items);
  }
  platform::OperationResult Remove(const std::string& path, platform::PathKind found_as) override {
    return inner_.Remove(path, found_as);
  }
  platform::PathKind KindOf(const std::string& path) const override { return inner_.KindOf(path); }
  platform::ItemState StateOf(const std::string& path) const override { return inner_.StateOf(path); }
  std::optional<platform::FileIdentity> IdentityOf(const std::string& path) const override {
    return inner_.IdentityOf(path);
  }
  std::optional<platform::TreeContent> ContentOf(const std::string& path) const override {
    return inner_.ContentOf(path);
  }
  std::string RealPath(const std::string& path) const override { return inner_.RealPath(path); }
  char Separator() const override { return inner_.Separator(); }

 protected:
  platform::FileOperations& inner_;
};

}  // namespace quellor::testing
