#include "platform/system_colours.h"

#include <windows.h>

namespace zv::platform {

bool highContrast() {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof setting;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

Rgb systemColour(SystemColour which) {
    int index = COLOR_MENU;
    switch (which) {
    case SystemColour::Menu:
        break;
    case SystemColour::MenuText:
        index = COLOR_MENUTEXT;
        break;
    case SystemColour::Highlight:
        index = COLOR_HIGHLIGHT;
        break;
    case SystemColour::HighlightText:
        index = COLOR_HIGHLIGHTTEXT;
        break;
    case SystemColour::GrayText:
        index = COLOR_GRAYTEXT;
        break;
    }
    const COLORREF c = GetSysColor(index);
    return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
}

} // namespace zv::platform
