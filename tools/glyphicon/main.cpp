// glyphicon: the icons of executables, libraries and icon files, for
// people who collect and make icons.
//
//   glyphicon count FILE...            count, a tab and the path, per file
//   glyphicon list FILE                each icon's index, name or number
//                                      and images
//   glyphicon extract FILE INDEX OUT   icon INDEX as an icon file, as stored
//   glyphicon info FILE                every image of every icon
//   glyphicon make OUT.ico INPUT...    one icon file of chosen sizes from
//                                      pictures (options below)
//   glyphicon export FILE [INDEX] -o DIR   an icon's images as PNG files
//   glyphicon --help                   the usage (also -h)
//
// A file that is refused (a damaged file, or a picture that is no icon
// file) counts 0, its reason goes to stderr and the exit status is 1; a
// file that cannot be read (missing, a folder) gets only its reason and
// the status 1. `count` still counts the other files. A usage error has
// the status 2.
#include <cstdio>

#include "tools/glyphicon/Cli.h"

namespace {

constexpr char kUsage[] =
    "usage: glyphicon count FILE...\n"
    "       glyphicon list FILE\n"
    "       glyphicon extract FILE INDEX OUT.ico\n"
    "       glyphicon info FILE\n"
    "       glyphicon make OUT.ico INPUT... [--sizes LIST] [--png-from N] [--bits 32|8|4] [--sharp]\n"
    "       glyphicon export FILE [INDEX] -o DIR\n";

// Asked for, the usage is the answer; otherwise it explains a refusal.
int Usage(bool asked) {
  std::fputs(kUsage, asked ? stdout : stderr);
  return asked ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace glyphicon;
  const std::vector<Path> args = Arguments(argc, argv);
  const std::string command = args.size() > 1 ? Printable(args[1]) : std::string();
  if (args.size() == 2 && (command == "--help" || command == "-h")) return Usage(true);
  if (args.size() < 3) return Usage(false);
  const std::vector<Path> rest(args.begin() + 2, args.end());
  if (command == "count") return Count(rest);
  if (command == "list" && rest.size() == 1) return List(rest[0]);
  if (command == "extract" && rest.size() == 3) return Extract(rest[0], rest[1], rest[2]);
  if (command == "info" && rest.size() == 1) return Info(rest[0]);
  if (command == "make") {
    const int status = Make(rest);
    return status < 0 ? Usage(false) : status;
  }
  if (command == "export") {
    const int status = Export(rest);
    return status < 0 ? Usage(false) : status;
  }
  return Usage(false);
}
