#include "core/icon_catalogue.h"

#include "core/field_reader.h"
#include "core/file_encoding.h"
#include "graphics/icon_registry.h"

namespace zv {

std::string readIconCatalogue(std::string_view bytes, const std::string& programFolder) {
    const DecodedFile decoded = decodeDataFile(bytes);
    if (decoded.damagedLine != 0)
        return "line " + std::to_string(decoded.damagedLine) + ": " + notUtf8Problem + ".";
    FieldReader reader(decoded.text);
    while (!reader.atEnd()) {
        auto name = reader.textField();
        const int line = reader.fieldLine();
        auto file = name ? reader.textField() : std::nullopt;
        if (!file || reader.endedLine() == false) {
            const std::string problem = !file ? "the file ends between the two fields of a line"
                                              : "there is more text after the second field";
            return "line " + std::to_string(file ? reader.fieldLine() : line) + ": " + problem +
                   ".";
        }
        if (*name == "#") {
            endIconGroup();
            beginIconGroup(*file);
        } else {
            loadIcon(programFolder + "\\" + *file, *name);
        }
    }
    endIconGroup();
    markCatalogueEnd();
    return {};
}

} // namespace zv
