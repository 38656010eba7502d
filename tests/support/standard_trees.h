// Trees the tests share, so that a reader learns each once: what each holds
// is written here, and the tests read back the same bytes.
#pragma once

#include <string>

#include "support/temp_tree.h"

namespace quellor::testing::trees {

// A file and a folder with namesakes at the target:
//   src/a.txt "new", src/tree/sub/deep.txt "deep",
//   out/a.txt "old", out/tree/other.txt "other".
inline bool Clash(TempTree& t) {
  t.Write("src/a.txt", "new");
  t.Write("src/tree/sub/deep.txt", "deep");
  t.Write("out/a.txt", "old");
  t.Write("out/tree/other.txt", "other");
  return true;
}

// Where links lead, which nothing may touch: outside/keep.txt "outside".
inline bool Outside(TempTree& t) {
  t.Write("outside/keep.txt", "outside");
  return true;
}

// Names a careless path normaliser strips, each its own file, and an empty out/:
//   d/a.txt "plain a", d/a.txt. "dotted a", d/b.txt "plain b", d/b.txt  "spaced b".
// False where the system cannot hold such names.
inline bool LookAlikes(TempTree& t) {
  t.Write("d/a.txt", "plain a");
  t.Write("d/a.txt.", "dotted a");
  t.Write("d/b.txt", "plain b");
  t.Write("d/b.txt ", "spaced b");
  t.Folder("out");
  return t.Read("d/a.txt.") == std::optional<std::string>("dotted a");
}

// A wide tree for the search: `folders` folders f<i>, each holding hit<i>.txt.
inline void Wide(const TempTree& t, int folders) {
  for (int i = 0; i < folders; ++i) t.File("f" + std::to_string(i) + "/hit" + std::to_string(i) + ".txt");
}

}  // namespace quellor::testing::trees
