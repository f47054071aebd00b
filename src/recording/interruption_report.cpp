#include "recording/interruption_report.h"

#include "companions/phrasebook/phrasebook.h"
#include "recording/recording_messages.h"

namespace recording {

const char* InterruptionKey(int reason) {
    switch (reason) {
        case kInterruptCreate: return "InterruptedCreate";
        case kInterruptSetup: return "InterruptedSetup";
        case kInterruptWrite: return "InterruptedWrite";
        case kInterruptDiskFull: return "InterruptedDiskFull";
        case kInterruptMemory: return "RecordingError";
        case kInterruptScreen: return "InterruptedScreen";
        default: return "Interrupted";
    }
}

std::string InterruptionText(int reason, const std::vector<std::string>& keptFiles) {
    std::string text = GetText("MsgBox", InterruptionKey(reason));
    if (keptFiles.empty()) return text;
    text += "\n\n";
    text += GetText("MsgBox", "RecordingKept");
    for (const std::string& file : keptFiles) text += "\n" + file;
    return text;
}

}  // namespace recording
