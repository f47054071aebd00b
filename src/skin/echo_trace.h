#pragma once
// Developer trace: formatted lines handed to the optional library "Echoline.Dll" in the private
// temporary folder (entry "EchoProc"). Without the library every call does nothing.
// Thread contract: any thread; the library is looked up once per process.

namespace skin {

void EchoTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace skin
