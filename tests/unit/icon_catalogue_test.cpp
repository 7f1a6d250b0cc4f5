#include "core/icon_catalogue.h"
#include "graphics/icon_registry.h"
#include "test_support.h"

namespace zv {
namespace {

class IconCatalogueTest : public ::testing::Test {
  protected:
    std::string read(const std::string& text) {
        test::resetProgram();
        resetIcons();
        return readIconCatalogue(text, "C:\\prog");
    }
};

TEST_F(IconCatalogueTest, RegistryRefusesIconsAndGroupsPastItsTables) {
    std::string text;
    for (int g = 0; g < 13; ++g) {
        text += "#,G" + std::to_string(g) + "\r\n";
        for (int i = 0; i < 25; ++i)
            text += "i" + std::to_string(g * 25 + i) + ",f.ico\r\n";
    }
    ASSERT_EQ(read(text), "");
    EXPECT_EQ(iconRegistry.iconCount, iconSlots);
    EXPECT_EQ(iconRegistry.lastGroup, groupSlots - 1);
    EXPECT_EQ(getIconGroupName(10), "G10");
    // Group 10 keeps its own 25 icons; the refused groups' icons join no group.
    EXPECT_EQ(iconRegistry.groupEnds[10] + 1, 250);
    EXPECT_EQ(iconRegistry.groupEnds[11], 274);
    EXPECT_EQ(iconRegistry.lastCatalogueIcon, 300);
    EXPECT_EQ(loadIcon("C:\\x.exe", ""), -1);
    EXPECT_EQ(iconRegistry.iconCount, iconSlots);
    EXPECT_EQ(iconHandle(-1), nullptr);
    EXPECT_EQ(iconHandle(301), nullptr);
}

TEST_F(IconCatalogueTest, AMarkedCatalogueIsUtf8AndRefusedWhereItIsNot) {
    ASSERT_EQ(read("\xEF\xBB\xBF#,Ελληνικά\r\nŁódź,f.ico\r\n"), "");
    EXPECT_EQ(getIconGroupName(0), "Ελληνικά");
    EXPECT_EQ(read("\xEF\xBB\xBF#,G\r\nok,f.ico\r\nbad\xE9,f.ico\r\n"),
              "line 3: the text is not UTF-8, though the file begins with the UTF-8 byte-order "
              "mark.");
}

} // namespace
} // namespace zv
