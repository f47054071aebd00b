#pragma once
// The log writer (libDiary). One whole, time-stamped line per call, from any number of threads,
// into the log folder (platform::LogFolder(), created when missing), rotated by size. A log that
// cannot be written is dropped silently: logging never stops the recorder.

void WriteLogLine(const char* text);
