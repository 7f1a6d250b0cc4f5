#include "core/icon_catalogue.h"
#include "graphics/icon_registry.h"
#include "test_support.h"

namespace zv {
namespace {

using Ends = std::vector<std::int16_t>;

class IconCatalogueTest : public ::testing::Test {
  protected:
    std::string read(const std::string& text) {
        test::resetProgram();
        resetIcons();
        return readIconCatalogue(text, "C:\\prog");
    }
    // The first n group ends: the last icon index of each group, the first entry standing for
    // the icons before any group line.
    Ends ends(int n) {
        return Ends(iconRegistry.groupEnds.begin(), iconRegistry.groupEnds.begin() + n);
    }
};

TEST_F(IconCatalogueTest, GroupsOfTheFiveLineExample) {
    ASSERT_EQ(read("#,A\r\nx,x.ico\r\ny,sub\\y.ico\r\n#,B\r\nz,z.ico\r\n"), "");
    EXPECT_EQ(iconRegistry.iconCount, 3);
    EXPECT_EQ(iconRegistry.lastGroup, 1);
    EXPECT_EQ(iconRegistry.lastCatalogueIcon, 2);
    EXPECT_EQ(getIconGroupName(0), "A");
    EXPECT_EQ(getIconGroupName(1), "B");
    EXPECT_EQ(ends(3), (Ends{-1, 1, 2}));
    EXPECT_EQ((test::Names{getIconTag(0), getIconTag(1), getIconTag(2)}),
              (test::Names{"x", "y", "z"}));
    // A file in a sub-folder is looked for there.
    EXPECT_EQ(iconRegistry.iconPaths[1], "C:\\prog\\sub\\y.ico");
}

TEST_F(IconCatalogueTest, EmptyCatalogueLeadingIconsAndEmptyGroups) {
    ASSERT_EQ(read(""), "");
    EXPECT_EQ(iconRegistry.iconCount, 0);
    EXPECT_EQ(iconRegistry.lastGroup, -1);
    EXPECT_EQ(iconRegistry.lastCatalogueIcon, -1);
    // Icons before the first group line belong to no group; two group lines in a row leave
    // the first group empty (it holds indexes 1..0).
    ASSERT_EQ(read("lone,a.ico\r\n#,Empty\r\n#,Full\r\nk,k.ico\r\n"), "");
    EXPECT_EQ(ends(3), (Ends{0, 0, 1}));
    EXPECT_EQ(iconRegistry.lastCatalogueIcon, 1);
}

TEST_F(IconCatalogueTest, BrokenLinesStopTheRead) {
    EXPECT_NE(read("name\r\n").find("ends between the two fields"), std::string::npos);
    EXPECT_NE(read("a,a.ico\r\nb,b.ico,c\r\n").find("line 2: there is more text"),
              std::string::npos);
}

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

} // namespace
} // namespace zv
