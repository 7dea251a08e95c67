#include <gmock/gmock.h>

#include "control/script_control_queue.h"
#include "tests/control/installation.h"
#include "tests/support/fake_desktop.h"

namespace quorvel::fakes {

using ::testing::ElementsAre;

// The controller over the real control queue and a real node script: the status it prints is
// drawn, and a start whose output is not JSON raises the alert with the runner's text and is
// followed by one status poll.
TEST(ControllerWithScriptTest, DrawsTheScriptsStatusAndReportsItsGarbage) {
    testing::Installation installation;
    installation.writeScript(R"(
if (process.argv[2] !== "status") {
  console.log("Error: not JSON");
} else {
  const state = process.cwd() === __dirname ? "Stopped" : "in the wrong folder";
  console.log(JSON.stringify({ok: true, state, listeners: 2, configured: true}));
}
)");
    FakeDesktop desktop;
    desktop.program = installation.path() / "quorvel-connect";
    desktop.launch({"quorvel-connect", "--auto-start"},
                   std::make_unique<ScriptControlQueue>(desktop.platform.mainThread));
    ASSERT_TRUE(desktop.runPosted());  // the first status, then the start it asks for
    EXPECT_EQ(desktop.rows[1]->text, "2 connected listeners");
    ASSERT_TRUE(desktop.runPosted());  // the start's garbage
    EXPECT_THAT(std::vector(desktop.events.end() - 2, desktop.events.end()),
                ElementsAre("bringToFront",
                            "alert QUORVEL Connect needs attention / Unable to read service "
                            "status. Check that Node.js and the application are installed."));
    EXPECT_EQ(desktop.rows[0]->text, "QUORVEL Connect · Starting…");
    ASSERT_TRUE(desktop.runPosted());  // the status poll that follows a failure
    EXPECT_EQ(desktop.rows[0]->text, "QUORVEL Connect · Stopped");
}

}  // namespace quorvel::fakes
