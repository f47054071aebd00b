#include "skin/echo_trace.h"

#include "platform/core/paths.h"
#include "platform/ui/optional_library.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <mutex>

namespace skin {

namespace {

using EchoProc = void (*)(int, std::intptr_t, const char*, std::intptr_t, std::intptr_t);

EchoProc EntryPoint() {
    static std::once_flag once;
    static EchoProc entry = nullptr;
    std::call_once(once, [] {
        std::string folder = platform::PrivateTempFolder();
        if (folder.empty()) return;
        entry = reinterpret_cast<EchoProc>(
            platform::FindOptionalSymbol(folder + "Echoline.Dll", "EchoProc"));
    });
    return entry;
}

}  // namespace

void EchoTrace(const char* format, ...) {
    EchoProc entry = EntryPoint();
    char text[512] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (entry && text[0] != '\0') entry(1, 0, text, 0, 0);
}

}  // namespace skin
