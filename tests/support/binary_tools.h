// The build machine's binary tools (llvm, binutils): finding them, running
// them, and reading the "Key: Value" blocks that llvm-readobj prints.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kwantel_test {

struct ToolRun {
  int status = -1;
  std::string out;  // standard output; standard error goes to the test's log
};

inline std::string ShellQuoted(const std::string &text) {
  std::string quoted = "'";
  for (char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

inline ToolRun RunTool(const std::string &commandLine) {
  ToolRun run;
  FILE *pipe = popen(commandLine.c_str(), "r");
  if (pipe == nullptr)
    return run;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    run.out.append(buffer, got);
  run.status = pclose(pipe);
  return run;
}

// The first of names found on PATH; empty when none is.
inline std::string FindTool(std::initializer_list<const char *> names) {
  for (const char *name : names) {
    if (RunTool(std::string("command -v ") + name + " >/dev/null 2>&1").status == 0)
      return name;
  }
  return {};
}

// One "Name {" block of llvm-readobj output: its own "Key: Value" lines (not
// those of blocks nested in it) and its whole text.
struct ReadobjBlock {
  std::map<std::string, std::string> fields;
  std::string text;

  std::string operator[](const std::string &key) const {
    auto found = fields.find(key);
    return found == fields.end() ? std::string() : found->second;
  }
};

inline std::string Trimmed(const std::string &line) {
  const size_t first = line.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : line.substr(first, line.find_last_not_of(' ') - first + 1);
}

// Every block called name, at any depth, in output order. name "" gives the
// lines outside any block (Format, Arch, ...) as one block.
inline std::vector<ReadobjBlock> ReadobjBlocks(const std::string &output, const std::string &name) {
  std::vector<ReadobjBlock> blocks;
  if (name.empty())
    blocks.emplace_back();
  std::istringstream lines(output);
  std::string line;
  int depth = 0;
  int fieldDepth = name.empty() ? 0 : -1;  // depth of the wanted block's own lines; -1 outside one
  while (std::getline(lines, line)) {
    const std::string trimmed = Trimmed(line);
    // "Name {", "Flags [" and "Flags [ (0x85)" open a level.
    const size_t space = trimmed.find(' ');
    const bool opens = space != std::string::npos && space + 1 < trimmed.size() &&
                       (trimmed[space + 1] == '{' || trimmed[space + 1] == '[') &&
                       (space + 2 == trimmed.size() || trimmed[space + 2] == ' ');
    const bool closes = trimmed == "}" || trimmed == "]";
    if (fieldDepth < 0 && !name.empty() && trimmed == name + " {") {
      blocks.emplace_back();
      fieldDepth = ++depth;
      continue;
    }
    if (closes) {
      if (depth == fieldDepth && !name.empty())
        fieldDepth = -1;
      --depth;
    }
    if (fieldDepth >= 0)
      blocks.back().text += line + "\n";
    if (fieldDepth >= 0 && depth == fieldDepth && !opens && !closes) {
      const size_t colon = trimmed.find(": ");
      if (colon != std::string::npos)
        blocks.back().fields.emplace(trimmed.substr(0, colon), trimmed.substr(colon + 2));
    }
    if (opens)
      ++depth;
  }
  return blocks;
}

}  // namespace kwantel_test
