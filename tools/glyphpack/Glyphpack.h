// glyphpack: the resource-archive tool for skin makers. The command logic
// lives here so that tests can run it in-process; main.cpp only adds the
// console failure report.
#pragma once

#include <ostream>

namespace glyphpack {

// Runs one command line (argv[0] is the program name). Returns the exit
// status: 0 on success, 1 on a failed operation, 2 on a usage error.
int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace glyphpack
