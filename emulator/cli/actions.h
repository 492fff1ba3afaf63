// The actions of `hostemu run`: what the emulated user does, one after the
// other, read from a script file (one a line) or from --do (separated by ';').
// '#' starts a comment; double quotes keep a name with spaces, ';' or '#'
// together.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hostemu::cli {

enum class ActionKind { invoke, set, press, close, select, undo, redo, restart, dialog };

struct Action {
  ActionKind kind = ActionKind::invoke;
  std::string text;                // as written, to name the action in messages
  std::string where;               // "script.txt:4" or "--do, action 2"
  int32_t id = 0;                  // invoke (0: the one command), set, press
  std::string value;               // set: the value as typed
  std::vector<std::string> paths;  // select
};

struct ActionList {
  std::vector<Action> actions;
  std::string error;  // one line naming the malformed action; empty when all are well formed
};

// source names the script in messages; lines are counted from 1. With
// separatedBySemicolons the places are counted as actions instead (--do).
ActionList parseActions(std::string_view text, std::string_view source, bool separatedBySemicolons);

}  // namespace hostemu::cli
