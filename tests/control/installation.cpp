#include "tests/control/installation.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace quorvel::testing {

Installation::Installation() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-control-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    root = pattern;
    base = root / "Quorvel Connect ünï 測試";
    std::filesystem::create_directory(base);
}

Installation::~Installation() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

void Installation::writeScript(std::string_view source) const {
    writeFile("control-app.cjs", source);
}

void Installation::writeFile(std::string_view name, std::string_view content) const {
    std::ofstream file(base / name, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string Installation::readFile(std::string_view name) const {
    std::ifstream file(base / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace quorvel::testing
