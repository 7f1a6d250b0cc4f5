// The menu definition file: lastMenuId on the first line, then one line per entry in list
// order: name, itemType, parentMenu, target, icon.
#pragma once

#include "core/file_encoding.h"
#include "core/known_file.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

inline constexpr const char* menuFileName = "\\menu.qlf";
// A save keeps the file it replaces under this name, one generation; the program never reads it.
inline constexpr const char* menuBackupName = "\\menu.qlf.bak";

// The menu file as the program last read or wrote it.
extern KnownFile menuFileOnDisk;
// The encoding the menu file was last read or written in: the next save keeps to it.
extern FileEncoding menuFileEncoding;

// A number as the file writes it: " 4 " for a number that is not negative, "-1 " otherwise.
std::string numberForm(std::int16_t n);

// Whether a name or text target can be written and read back unchanged. A text that begins
// with a double quote, or that needs quoting and holds one, cannot.
bool fileCanCarry(const std::string& text);

// Reads the file's bytes: lastMenuId, then every record appended to the (empty) store in file
// order, and the file's encoding. Returns "" on success, otherwise the problem with the line it
// is on.
std::string readMenuFile(std::string_view bytes);

// The file's text for the store as it is now.
std::string menuFileText();
// The same as the bytes a save writes, in the encoding it chooses.
EncodedFile menuFileBytes();

// Writes the whole store to the file, replacing it in one step and keeping the old file as the
// backup, and clears unsavedChanges. When another program changed the file since it was read or
// written, the user is asked first whether to replace it; No saves nothing. On failure or No the
// old file stays as it was, unsavedChanges stays true and the result is false; a failure is
// told with its reason.
bool saveMenuFile();

// Asks "Do you wish to save the changes?"; Yes saves. False only when the user wanted to save
// and the save failed.
bool askSave();

} // namespace zv
