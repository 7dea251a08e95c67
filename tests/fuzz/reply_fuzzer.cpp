// Feeds arbitrary script output through the reply parser and a controller on the fake desktop, as
// the first status reply and as the reply to every command a person can choose. A crash, a
// sanitizer report or a menu left disabled while idle is a finding.

#include <cstdlib>

#include "control/reply_parser.h"
#include "tests/support/fake_desktop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view output(reinterpret_cast<const char*>(data), size);
    const quorvel::ControlReply reply = quorvel::parseReply(output);

    quorvel::fakes::FakeDesktop desktop;
    desktop.answer = 1;  // confirms every stop
    desktop.launch({"quorvel-connect", "--auto-start"});
    for (const auto& row : desktop.rows) {
        while (!desktop.pending.empty()) {
            desktop.reply(reply);
        }
        if (!desktop.rows.back()->enabled) {
            std::abort();  // Quit stays disabled with nothing in flight: the menu is frozen
        }
        desktop.choose(row->text);
    }
    return 0;
}
