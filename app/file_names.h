// File names between the system and the windows. The system names a file by bytes, which need not be
// UTF-8 text (a folder named on a Latin-1 system); Qt names it by text, which cannot hold such a byte.
// The program keeps every name as its bytes and converts only where a name meets the windows.
#pragma once

#include <QString>
#include <string>

namespace morvell {

// The start folder as a file dialog can open it: its name, or, when that is no UTF-8 text, a name of its
// own that leads there (an entry of /proc/self/fd held open on the folder).
QString dialog_folder();

// The bytes of a name a file dialog returned; a name under the start folder's stand-in name (see
// dialog_folder) is the same file under the start folder's own name.
std::string local_path(const QString& name);

// A name as a file dialog takes it (to preset it): under the start folder's stand-in name where the
// folder's own name is no UTF-8 text.
QString dialog_path(const std::string& bytes);

// Text that holds names (a message, a path) as the user reads it: UTF-8 as it stands, and each byte
// that is not part of a UTF-8 character as \xHH, so that a folder whose name is no UTF-8 text is named
// exactly, not with replacement characters.
QString shown_text(const std::string& bytes);

// The current folder as the bytes of its name.
std::string current_folder();

}  // namespace morvell
