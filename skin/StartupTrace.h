// StartupTrace: where the time of a start goes, for the start-up benchmark.
// When the environment variable GLYPH_STARTUP_TRACE names a file, each
// StartupMark records the moment (QueryPerformanceCounter) with its label,
// and StartupTraceFinish writes them all to that file once. Without the
// variable a mark costs a test of one flag, and nothing is ever written.
//
// The file: a first line "wall MS", the Unix time in milliseconds of the
// first mark (to set against the launcher's clock), then one line per mark,
// "MS LABEL", milliseconds since the first mark. Marks may come from any
// thread.
#pragma once

namespace glyph::skin {

// `detail`, when given, is appended to the label after a blank.
void StartupMark(const char* label, const char* detail = nullptr);
// Writes the marks so far (the first call only); later marks are dropped.
void StartupTraceFinish();

}  // namespace glyph::skin
