#pragma once
// The skin bitmaps built into the program: the pictures of the program folder's skins/, used
// when a file there is missing or cannot be read.
// Thread contract: callable from any thread.
#include <QImage>
#include <string>

namespace skin {

// For a path in the program folder's skins/: the built-in picture of that name, and one log line
// per name for the life of the process. Null for any other path or a name with no picture.
QImage BuiltInSkin(const std::string& path);

}  // namespace skin
