#include <gtest/gtest.h>

#include "tests/support/misuse.h"

// What a person could not have done (choosing a disabled row, an alert nobody answers) fails the
// test that did it, instead of aborting the whole run.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    quorvel::fakes::setMisuseHandler(
        [](const std::string& what) { ADD_FAILURE() << "fake platform: " << what; });
    return RUN_ALL_TESTS();
}
