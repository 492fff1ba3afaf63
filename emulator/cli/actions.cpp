#include "actions.h"

#include <charconv>
#include <cmath>

namespace hostemu::cli {
namespace {

struct Statement {
  std::vector<std::string> words;
  std::string text;
  size_t line = 0;
  size_t ordinal = 0;
};

// Splits text into statements at newlines and ';', words at blanks. An
// unclosed quote is reported in error.
std::vector<Statement> split(std::string_view text, std::string &error, size_t &errorLine) {
  std::vector<Statement> statements;
  Statement current;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  size_t line = 1;
  auto endWord = [&] {
    if (inWord)
      current.words.push_back(std::move(word));
    word.clear();
    inWord = false;
  };
  auto endStatement = [&] {
    endWord();
    if (!current.words.empty()) {
      current.ordinal = statements.size() + 1;
      statements.push_back(std::move(current));
    }
    current = Statement();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (current.words.empty() && !inWord)
      current.line = line;
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
        word += text[++i];
      } else if (c == '\n') {
        break;
      } else {
        word += c;
      }
      current.text += c;
      continue;
    }
    if (c == '#') {
      while (i + 1 < text.size() && text[i + 1] != '\n')
        ++i;
      continue;
    }
    if (c == '\n' || c == ';') {
      endStatement();
      if (c == '\n')
        ++line;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r') {
      endWord();
      if (!current.text.empty())
        current.text += ' ';
      continue;
    }
    if (c == '"') {
      quoted = true;
      inWord = true;
    } else {
      word += c;
      inWord = true;
    }
    current.text += c;
  }
  if (quoted) {
    error = "a quote is not closed";
    errorLine = current.line;
    return statements;
  }
  endStatement();
  for (Statement &s : statements) {
    while (!s.text.empty() && s.text.back() == ' ')
      s.text.pop_back();
  }
  return statements;
}

bool parseId(const std::string &text, int32_t &id) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  return error == std::errc() && end == text.data() + text.size();
}

bool isNumber(const std::string &text) {
  double value = 0.0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

struct Syntax {
  const char *name;
  ActionKind kind;
  const char *usage;
};

constexpr Syntax kSyntax[] = {
    {"invoke", ActionKind::invoke, "invoke [COMMAND-ID]"},
    {"set", ActionKind::set, "set ID VALUE"},
    {"press", ActionKind::press, "press ID"},
    {"close", ActionKind::close, "close"},
    {"select", ActionKind::select, "select PATH ..."},
    {"undo", ActionKind::undo, "undo"},
    {"redo", ActionKind::redo, "redo"},
    {"restart", ActionKind::restart, "restart"},
    {"dialog", ActionKind::dialog, "dialog"},
};

// What is wrong with the statement; empty when it is a well-formed action.
std::string build(const Statement &statement, Action &action) {
  const std::string &verb = statement.words[0];
  const Syntax *syntax = nullptr;
  for (const Syntax &s : kSyntax) {
    if (verb == s.name)
      syntax = &s;
  }
  if (syntax == nullptr) {
    return "unknown action \"" + verb + "\"; the actions are invoke, set, press, close, select, undo, redo, " +
           "restart, dialog";
  }
  action.kind = syntax->kind;
  const size_t arguments = statement.words.size() - 1;
  std::string usage = std::string("; write it as: ") + syntax->usage;
  switch (syntax->kind) {
    case ActionKind::invoke:
      if (arguments > 1 || (arguments == 1 && !parseId(statement.words[1], action.id))) {
        return "invoke takes at most one command id" + usage;
      }
      return {};
    case ActionKind::set:
      if (arguments != 2 || !parseId(statement.words[1], action.id))
        return "set takes a gadget id and a value" + usage;
      if (!isNumber(statement.words[2]))
        return "the value \"" + statement.words[2] + "\" is not a number" + usage;
      action.value = statement.words[2];
      return {};
    case ActionKind::press:
      if (arguments != 1 || !parseId(statement.words[1], action.id))
        return "press takes one id" + usage;
      return {};
    case ActionKind::select:
      action.paths.assign(statement.words.begin() + 1, statement.words.end());
      for (const std::string &path : action.paths) {
        if (path.empty())
          return "an empty path names no object" + usage;
      }
      return {};
    default:
      if (arguments != 0)
        return std::string(syntax->name) + " takes no arguments" + usage;
      return {};
  }
}

}  // namespace

ActionList parseActions(std::string_view text, std::string_view source, bool separatedBySemicolons) {
  ActionList list;
  std::string splitError;
  size_t errorLine = 0;
  std::vector<Statement> statements = split(text, splitError, errorLine);
  auto place = [&](const Statement &s) {
    return separatedBySemicolons ? std::string(source) + ", action " + std::to_string(s.ordinal)
                                 : std::string(source) + ":" + std::to_string(s.line);
  };
  for (const Statement &statement : statements) {
    Action action;
    action.text = statement.text;
    action.where = place(statement);
    if (std::string problem = build(statement, action); !problem.empty()) {
      list.error = action.where + ": \"" + action.text + "\": " + problem;
      return list;
    }
    list.actions.push_back(std::move(action));
  }
  if (!splitError.empty()) {
    list.error = std::string(source) + (separatedBySemicolons ? "" : ":" + std::to_string(errorLine)) + ": " +
                 splitError + "; close it with \"";
  }
  return list;
}

}  // namespace hostemu::cli
