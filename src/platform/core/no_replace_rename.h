#pragma once
// Giving a finished file its final name without ever taking over a file already there.
// Thread contract: any thread; nothing is shared between calls.
#include <string>

namespace platform {

enum class NoReplaceRename {
    kRenamed,  // in one step (renameat2 with RENAME_NOREPLACE)
    kLinked,   // the file system refused that flag: a hard link made, then the old name removed
    kClaimed,  // nor links: the new name created exclusively, then renamed onto
    kExists,   // the new name is taken; nothing changed
    kFailed,   // errno says why; nothing changed
};

// The rename that refuses an existing target, as renameat2 does it: 0, or -1 with errno.
using AtomicRenameFn = int (*)(const char* from, const char* to);
int RenameNoReplaceCall(const char* from, const char* to);

// Renames `from` to `to` unless `to` exists (a dangling link counts). Where the file system
// refuses the one-step rename, a hard link and an unlink do it; where it has no hard links
// either, `to` is claimed as a new empty file and renamed onto, which leaves that empty file
// under the new name if the process dies between the two steps. `atomicRename` replaces the
// system's one-step rename (for tests).
NoReplaceRename RenameNoReplace(const std::string& from, const std::string& to,
                                AtomicRenameFn atomicRename = RenameNoReplaceCall);

// The step taken when it was not the one-step rename ("hard link", "exclusive claim"); empty
// for the others.
const char* FallbackName(NoReplaceRename result);

}  // namespace platform
