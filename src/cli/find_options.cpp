#include "cli/find_options.h"

namespace quellor::cli {

ParsedOptions ParseFindOptions(const std::vector<std::string_view>& args) {
  FindOptions o;
  bool only_roots = false;
  bool search_option = false;  // one that has no meaning for --undo
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    const bool undo_option = a == "--undo" || a == "--journal" || a.rfind("--journal=", 0) == 0 || a == "-q" ||
                             a == "--quiet" || a == "--utf8" || a == "-h" || a == "--help" || a == "--version";
    if (!only_roots && !a.empty() && a[0] == '-' && a != "-" && a != "--" && !undo_option) search_option = true;
    if (only_roots || a.empty() || a[0] != '-' || a == "-") {
      o.roots.emplace_back(a);
    } else if (a == "--undo") {
      o.undo = true;
    } else if (a == "--") {
      only_roots = true;
    } else if (a == "-f" || a == "--fuzzy") {
      o.mode = search::MatchMode::Fuzzy;
    } else if (a == "-e" || a == "--exact") {
      o.mode = search::MatchMode::Exact;
    } else if (a == "-d" || a == "--folders") {
      o.kind = search::NameKind::Folders;
    } else if (a == "-w" || a == "--whole-computer") {
      o.whole_computer = true;
    } else if (a == "-0" || a == "--null") {
      o.null_separated = true;
    } else if (a == "-c" || a == "--count") {
      o.count_per_name = true;
    } else if (a == "-q" || a == "--quiet") {
      o.quiet = true;
    } else if (a == "--utf8") {
      o.utf8 = true;
    } else if (a == "-h" || a == "--help") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "-n" || a == "--names") {
      if (i + 1 == args.size()) return {std::nullopt, "option " + std::string(a) + " needs a file name"};
      o.names_file = args[++i];
    } else if (a.rfind("--names=", 0) == 0) {
      o.names_file = a.substr(8);
    } else if (a == "--index" || a.rfind("--index=", 0) == 0) {
      std::string_view value;
      if (a == "--index") {
        if (i + 1 == args.size()) return {std::nullopt, "option --index needs auto or off"};
        value = args[++i];
      } else {
        value = a.substr(8);
      }
      if (value != "auto" && value != "off") {
        return {std::nullopt, "option --index takes auto or off, not " + std::string(value)};
      }
      o.read_indexes = value == "auto";
    } else if (a == "--rename-on-clash") {
      o.rename_on_clash = true;
    } else if (std::string* value = a == "--copy-to"     ? &o.copy_to
                                    : a == "--move-to"   ? &o.move_to
                                    : a == "--not-found" ? &o.not_found_file
                                    : a == "--ledger"    ? &o.ledger_file
                                    : a == "--export"    ? &o.export_file
                                    : a == "--volume"    ? &o.volume
                                    : a == "--journal"   ? &o.journal_file
                                                         : nullptr) {
      if (i + 1 == args.size() || args[i + 1].empty()) {
        const bool file = value == &o.not_found_file || value == &o.ledger_file || value == &o.export_file ||
                          value == &o.volume || value == &o.journal_file;
        return {std::nullopt, "option " + std::string(a) + " needs a " + (file ? "file" : "folder")};
      }
      *value = args[++i];
    } else if (std::string* joined = a.rfind("--copy-to=", 0) == 0     ? &o.copy_to
                                     : a.rfind("--move-to=", 0) == 0   ? &o.move_to
                                     : a.rfind("--not-found=", 0) == 0 ? &o.not_found_file
                                     : a.rfind("--ledger=", 0) == 0    ? &o.ledger_file
                                     : a.rfind("--export=", 0) == 0    ? &o.export_file
                                     : a.rfind("--volume=", 0) == 0    ? &o.volume
                                     : a.rfind("--journal=", 0) == 0   ? &o.journal_file
                                                                       : nullptr) {
      const std::size_t equals = a.find('=');
      // An empty value would otherwise silently drop the action.
      if (equals + 1 == a.size()) return {std::nullopt, "option " + std::string(a.substr(0, equals)) + " needs a value"};
      *joined = a.substr(equals + 1);
    } else {
      return {std::nullopt, "unknown option " + std::string(a)};
    }
  }
  if (o.undo && (search_option || !o.roots.empty())) {
    return {std::nullopt, "--undo takes back the last copy or move: give no search, names or folders with it"};
  }
  if (!o.journal_file.empty() && !o.undo && o.copy_to.empty() && o.move_to.empty()) {
    return {std::nullopt, "--journal goes with --copy-to, --move-to or --undo"};
  }
  if (o.whole_computer && !o.roots.empty()) {
    return {std::nullopt, "--whole-computer searches every local disk: give no folders with it"};
  }
  if (!o.volume.empty() && (o.whole_computer || !o.roots.empty())) {
    return {std::nullopt, "--volume searches that whole volume: give no folders and no --whole-computer with it"};
  }
  // The rows name items inside the volume, not paths this system could act on.
  if (!o.volume.empty() && (!o.copy_to.empty() || !o.move_to.empty())) {
    return {std::nullopt, "--volume only lists names: --copy-to and --move-to do not go with it"};
  }
  // One would silently replace the other after the search.
  if (!o.export_file.empty() && (o.export_file == o.ledger_file || o.export_file == o.not_found_file)) {
    return {std::nullopt, "--export needs a file of its own, not the one of --ledger or --not-found"};
  }
  if (!o.copy_to.empty() && !o.move_to.empty()) {
    return {std::nullopt, "give either --copy-to or --move-to, not both"};
  }
  if (o.rename_on_clash && o.copy_to.empty() && o.move_to.empty()) {
    return {std::nullopt, "--rename-on-clash goes with --copy-to or --move-to"};
  }
  return {std::move(o), {}};
}

std::string FindHelpText() {
  return "Usage: quellor-find [OPTION]... [FOLDER]...\n"
         "Finds every file (or folder) whose name is one of many names, in one pass over\n"
         "each FOLDER (the current folder when none is given).\n"
         "\n"
         "Names are read one per line from the names file (lines end in LF or CR LF);\n"
         "blank lines and lines of spaces only are skipped, every other line is a name\n"
         "exactly as written. Letter case is ignored.\n"
         "\n"
         "The names file may be UTF-8 (with or without a byte-order mark), UTF-16 with a\n"
         "byte-order mark, or in the ANSI code page (GBK): a byte-order mark decides;\n"
         "without one, valid UTF-8 holding non-ASCII text is UTF-8, anything else the\n"
         "ANSI code page. A line that is not valid text in its encoding (or, under a GBK\n"
         "locale, holds a character GBK lacks) is named with its line on standard error,\n"
         "searched for nowhere, and counted as not found.\n"
         "\n"
         "  -n, --names FILE        read the names from FILE ('-', the default: standard input)\n"
         "  -e, --exact             a name matches a file called NAME or NAME.anything (default)\n"
         "  -f, --fuzzy             a name matches every file whose name contains it\n"
         "                          ('*' and '?' in a name are wildcards for file names)\n"
         "  -d, --folders           match folder names instead of file names ('*' and '?' literal)\n"
         "  -w, --whole-computer    search every local disk instead of the FOLDERs\n"
         "      --index auto|off    with --whole-computer: auto (the default) reads each fixed\n"
         "                          NTFS drive's table of files instead of walking its\n"
         "                          folders, where this process may open the drive (on\n"
         "                          Windows: run as administrator, elevated); a drive that\n"
         "                          cannot be read so is walked, with a note on standard\n"
         "                          error; off walks every drive\n"
         "      --volume FILE       search the NTFS volume in FILE (a disk image, or a\n"
         "                          partition's device) instead of the FOLDERs, reading its\n"
         "                          table of files rather than its folders; paths are shown\n"
         "                          from the volume's root ('/' here, or '\\' on Windows)\n"
         "  -0, --null              end each found path with a NUL byte instead of a line break\n"
         "  -c, --count             print, for each name in order, its number of hits and the\n"
         "                          name (a tab between) instead of the paths\n"
         "  -q, --quiet             no status text on standard error\n"
         "      --utf8              write paths (and -c's names) as UTF-8 where standard\n"
         "                          output is a file or pipe (Windows: instead of the ANSI\n"
         "                          code page)\n"
         "      --copy-to DIR       after the search, copy every found item into DIR\n"
         "      --move-to DIR       after the search, move every found item into DIR\n"
         "      --rename-on-clash   with --copy-to or --move-to: an item whose name is taken\n"
         "                          in DIR is stored as 'name (2).ext', 'name (3).ext', ...;\n"
         "                          without it the item in DIR is overwritten\n"
         "      --not-found FILE    write the names that found nothing to FILE, one per line\n"
         "                          (CR LF after each; an empty file when all were found),\n"
         "                          in the names file's encoding\n"
         "      --ledger FILE       write a CSV row per name, in order: the name, its line,\n"
         "                          its number of hits, its first hit, and why it was not\n"
         "                          searched for; UTF-8 with a byte-order mark, CR LF, a\n"
         "                          header row, as spreadsheets open it\n"
         "      --export FILE       write a CSV row per hit, in the order printed: its path,\n"
         "                          name, folder, size in bytes (empty for a folder),\n"
         "                          local modification time, tick (empty: there are no\n"
         "                          ticks here) and the name that found it; encoded as\n"
         "                          --ledger, with a header row in Chinese. With --volume\n"
         "                          size and time stay empty (the items are not on this\n"
         "                          system). FILE appears only whole\n"
         "      --journal FILE      the journal of the copy or move (default: quellor-find.journal\n"
         "                          beside this program): each item is written there before\n"
         "                          and after it is placed, and only the last batch is kept\n"
         "      --undo              take back the last copy or move the journal holds, newest\n"
         "                          item first, instead of searching (no names or FOLDERs):\n"
         "                          a moved item goes back to its old place, a copy is\n"
         "                          removed; an item is left, and named with the reason,\n"
         "                          where it replaced or was merged into an item, is no\n"
         "                          longer as it was placed (changed, gone), or its old place\n"
         "                          is taken or its old folder gone. Nothing is overwritten.\n"
         "                          Exit status 0 when nothing was left, 1 when something\n"
         "                          was left or there was nothing to undo\n"
         "  -h, --help              show this help\n"
         "      --version           show the version\n"
         "\n"
         "Found paths go to standard output, folder by folder (each folder before its\n"
         "subfolders), within a folder name by name. A path is listed once per name that\n"
         "finds it, and once per FOLDER that holds it. The closing status goes to\n"
         "standard error, and progress too when standard error is a terminal.\n"
         "\n"
         "On Windows a console shows every path exactly. Written to a file or pipe,\n"
         "paths are in the ANSI code page, as scripts expect; a path that code page\n"
         "cannot write is not printed (never with '?' in place of a character): it is\n"
         "named on standard error, with the characters it lacks as <U+XXXX>, and the\n"
         "exit status is 1. With --utf8 every path is written as UTF-8 instead.\n"
         "\n"
         "Items are copied or moved in the order they were found, each path once; every\n"
         "item that could not be copied or moved is named on standard error. Nothing\n"
         "found is overwritten: an item whose name was taken in DIR by an earlier item\n"
         "stays where it is, as does one whose target is a found item (or a link to\n"
         "one); FIFOs and devices are not copied. A copy is written under a temporary\n"
         "name and keeps its modification time and permission bits.\n"
         "\n"
         "Every folder that could not be read (or whose path is too long) is named on\n"
         "standard error, once. With --volume, records of the volume's table that are\n"
         "damaged (and so skipped) are counted there, and names whose folder no longer\n"
         "holds them are counted as a note.\n"
         "\n"
         "Exit status: 0 when the search ran to its end (and every folder was read, and\n"
         "every copy, move, the not-found file, the ledger and the export succeeded); 1\n"
         "when a folder (or the volume, or a record of its table) could not be read, or\n"
         "results, a path, an item, the not-found file, the ledger or the export could\n"
         "not be written, copied or moved; 2 on a usage error (unknown option, no names,\n"
         "unreadable names file, a target that is no folder, an empty target); 3, with\n"
         "--ledger only, when all else succeeded but some names found nothing.\n";
}

}  // namespace quellor::cli
