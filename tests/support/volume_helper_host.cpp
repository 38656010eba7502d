// The helper's side as Quellor.exe runs it, for systems without the window.
#include "ntfs/helper_server.h"
#include "platform/command_line.h"

int main(int argc, char** argv) {
  return quellor::ntfs::ServeVolumeReads(quellor::platform::CommandLineArguments(argc, argv));
}
