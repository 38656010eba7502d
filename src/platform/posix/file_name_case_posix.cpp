#include "platform/file_name_case.h"
#include "text/case_fold.h"

namespace quellor::platform {

std::string FoldFileNameCase(const text::Charset& cs, std::string_view name) { return text::FoldAsciiCase(cs, name); }

}  // namespace quellor::platform
