#include "core/menu_file.h"

#include "core/app_state.h"
#include "core/field_reader.h"
#include "core/item_store.h"
#include "core/menu_entry.h"
#include "core/messages.h"
#include "graphics/icon_registry.h"
#include "platform/files.h"
#include "platform/message_box.h"

namespace zv {

namespace {

// Texts the reader would otherwise cut or trim are written inside double quotes.
bool needsQuotes(const std::string& text) {
    if (text.empty())
        return false;
    if (isBlank(text.front()) || isBlank(text.back()))
        return true;
    return text.find_first_of(",\r\n") != std::string::npos;
}

std::string fieldText(const std::string& text) {
    if (!needsQuotes(text))
        return text;
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    return quoted;
}

std::string lineProblem(int line, const std::string& problem) {
    return "line " + std::to_string(line) + ": " + problem + ".";
}

} // namespace

std::string numberForm(std::int16_t n) {
    return n >= 0 ? " " + std::to_string(n) + " " : std::to_string(n) + " ";
}

bool fileCanCarry(const std::string& text) {
    if (!text.empty() && text.front() == '"')
        return false;
    return !(needsQuotes(text) && text.find('"') != std::string::npos);
}

std::string readMenuFile(std::string_view bytes) {
    const DecodedFile file = decodeDataFile(bytes);
    if (file.damagedLine != 0)
        return lineProblem(file.damagedLine, notUtf8Problem);
    menuFileEncoding = file.encoding;
    FieldReader reader(file.text);
    if (reader.atEnd())
        return lineProblem(1, "the file ends before its first value");
    auto first = reader.numberField();
    if (!first)
        return lineProblem(reader.fieldLine(), reader.error());
    if (!reader.endedLine())
        return lineProblem(reader.fieldLine(), "there is more text after the first value");
    lastMenuId = *first;

    while (!reader.atEnd()) {
        MenuEntry entry;
        auto name = reader.textField();
        const int recordLine = reader.fieldLine();
        if (name->empty())
            return lineProblem(recordLine, "an entry has no name");
        entry.name = *name;
        auto type = reader.numberField();
        if (!type)
            return lineProblem(reader.fieldLine(), reader.error());
        entry.itemType = *type;
        auto parent = reader.numberField();
        if (!parent)
            return lineProblem(reader.fieldLine(), reader.error());
        entry.parentMenu = *parent;
        auto target = reader.textField();
        if (!target)
            return lineProblem(reader.fieldLine(), "the file ends inside a record");
        entry.target = Target(*target);
        auto icon = reader.numberField();
        if (!icon)
            return lineProblem(reader.fieldLine(), reader.error());
        entry.iconIndex = *icon;
        if (!reader.endedLine())
            return lineProblem(reader.fieldLine(), "there is more text after the fifth field");
        if (append(entry) == -1)
            return lineProblem(recordLine, "the menu holds more than " +
                                               std::to_string(storeSlots) + " entries");
        // A header edited by hand may lag behind the submenus; the next new submenu must not
        // take an id one of them already has.
        const auto id = entry.itemType == Menu ? entry.target.asNumber() : std::nullopt;
        if (id && *id > lastMenuId)
            lastMenuId = *id;
    }
    return {};
}

std::string menuFileText() {
    std::string text = numberForm(lastMenuId) + "\r\n";
    for (std::int16_t slot : listOrder()) {
        const MenuEntry& e = items[slot];
        text += fieldText(e.name) + ",";
        text += numberForm(static_cast<std::int16_t>(e.itemType)) + ",";
        text += numberForm(e.parentMenu) + ",";
        text +=
            (e.target.isNumber() ? numberForm(*e.target.asNumber()) : fieldText(e.target.asText()));
        text += ",";
        text += e.iconIndex > iconRegistry.lastCatalogueIcon ? std::string("-1")
                                                             : numberForm(e.iconIndex);
        text += "\r\n";
    }
    return text;
}

EncodedFile menuFileBytes() {
    return encodeDataFile(menuFileText(), menuFileEncoding);
}

KnownFile menuFileOnDisk;
FileEncoding menuFileEncoding = FileEncoding::AnsiCodePage;

bool saveMenuFile() {
    const std::string folder = platform::programFolder();
    const std::string path = folder + menuFileName;
    if (menuFileOnDisk.changedOnDisk(path) &&
        !askYesNo("The menu file was changed by another program since Zelvora read it. Replace "
                  "it with the menus shown here?"))
        return false;
    // Taken after the question: the menus may have changed while it was open.
    const EncodedFile file = menuFileBytes();
    const std::string backupPath = folder + menuBackupName;
    const platform::Replacement saved = platform::replaceTextFile(path, file.bytes, backupPath);
    using Outcome = platform::Replacement::Outcome;
    switch (saved.outcome) {
    case Outcome::Replaced:
    case Outcome::ReplacedWithoutBackup:
        break;
    case Outcome::Unchanged:
        tell("The menu could not be saved to " + path + ":\n" + saved.reason +
             "\n\nThe file on disk is unchanged and your changes are still "
             "in the menu; you can try to save again.");
        return false;
    case Outcome::OldFileInBackup:
        tell("The menu could not be saved to " + path + ":\n" + saved.reason +
             "\n\nThe menus that were in it are now in " + backupPath +
             ", from where they could not be put back. Your changes are still in the menu; you "
             "can try to save again.");
        return false;
    }
    menuFileOnDisk = KnownFile::of(file.bytes);
    menuFileEncoding = file.encoding;
    unsavedChanges = false;
    // Said once the save counts: the message box lets other events run meanwhile.
    if (saved.outcome == Outcome::ReplacedWithoutBackup) {
        // The reason is a sentence of its own; here it ends the message's.
        std::string reason = saved.reason;
        if (!reason.empty() && reason.back() == '.')
            reason.pop_back();
        tell("The menus were saved, but the backup menu.qlf.bak could not be updated: " + reason +
             ".");
    }
    return true;
}

bool askSave() {
    if (askYesNo("Do you wish to save the changes?"))
        return saveMenuFile();
    return true;
}

} // namespace zv
