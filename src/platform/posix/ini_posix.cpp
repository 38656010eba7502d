// An INI reader and writer of our own, keeping the layout that the Windows
// private-profile functions read and write: "[section]" headers and
// "key=value" lines, section and key names compared without regard to ASCII case.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/ini.h"
#include "text/case_fold.h"
#include "text/charset.h"
#include "text/line_split.h"

namespace quellor::platform {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  return text::EqualsIgnoringAsciiCase(text::Charset::Utf8(), Trim(a), Trim(b));
}

// Lines split at LF; a CR before the LF is dropped by Trim where it matters.
std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool IsSectionHeader(std::string_view line, std::string_view* name) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return false;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  *name = line.substr(1, close - 1);
  return true;
}

bool IsKeyLine(std::string_view line, std::string_view key, std::string_view* value) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || !SameName(line.substr(0, equals), key)) return false;
  *value = Trim(line.substr(equals + 1));
  return true;
}

}  // namespace

std::string ReadIniValue(const std::string& file, std::string_view section, std::string_view key) {
  const std::optional<std::string> bytes = ReadWholeFile(file);
  if (!bytes) return {};
  bool in_section = false;
  for (const std::string& line : Lines(*bytes)) {
    std::string_view name;
    std::string_view value;
    if (IsSectionHeader(line, &name)) {
      in_section = SameName(name, section);
    } else if (in_section && IsKeyLine(line, key, &value)) {
      return std::string(value);
    }
  }
  return {};
}

bool WriteIniValue(const std::string& file, std::string_view section, std::string_view key, std::string_view value) {
  const std::optional<std::string> bytes = ReadWholeFile(file);
  // A file that is there but cannot be read is left alone: writing it anew
  // from nothing would lose every other key in it.
  struct stat existing {};
  if (!bytes && ::stat(file.c_str(), &existing) == 0) return false;
  std::vector<std::string> lines = bytes ? Lines(*bytes) : std::vector<std::string>{};
  const std::string entry = std::string(key) + "=" + std::string(value);

  std::size_t section_end = lines.size();
  bool section_found = false;
  bool in_section = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    std::string_view old_value;
    if (IsSectionHeader(lines[i], &name)) {
      if (in_section) {
        section_end = i;
        break;
      }
      in_section = SameName(name, section);
      section_found = section_found || in_section;
    } else if (in_section && IsKeyLine(lines[i], key, &old_value)) {
      lines[i] = entry;
      return WriteWholeFileReplacing(file, text::JoinLinesWithBreaks(lines));
    }
  }
  if (section_found) {
    // After the section's last non-empty line.
    std::size_t insert_at = section_end;
    while (insert_at > 0 && Trim(lines[insert_at - 1]).empty()) --insert_at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at), entry);
  } else {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entry);
  }
  return WriteWholeFileReplacing(file, text::JoinLinesWithBreaks(lines));
}

}  // namespace quellor::platform
