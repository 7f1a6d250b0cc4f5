// The end-to-end test run: GoogleTest, with the shared Wine session ended after the last test.
#include "wine_test.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    zv::e2e::endSharedSession();
    return result;
}
