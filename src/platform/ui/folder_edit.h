#pragma once
// The folder-browse button of an edit control: a button inside the edit's right end that opens
// the folder picker and puts the folder chosen into the edit (a text change like typing).
// Thread contract: user-interface thread only.
class QLineEdit;

namespace platform {

// Adds the button once; later calls do nothing.
void EnableFolderBrowseButton(QLineEdit* edit);

}  // namespace platform
