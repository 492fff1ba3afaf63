// hostemu: the host emulator from the command line.
//   hostemu run    the application with the module loaded, worked by a script
//   hostemu round  the module's rounding of a scene file, in batch
//   hostemu validate  the module under hostile conditions
#include "actions.h"
#include "program_location.h"
#include "round_command.h"
#include "run_command.h"
#include "validator.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using namespace hostemu::cli;

const std::map<std::string, int32_t> kModes = {{"nearest", 0}, {"lowest", 1}, {"highest", 2}};
const std::map<std::string, int32_t> kScopes = {{"selected-and-children", 0}, {"selected", 1}, {"all", 2}};
const std::map<std::string, int32_t> kTargets = {{"size", 0}, {"scale", 1}};

std::filesystem::path defaultModule() {
  std::filesystem::path program = programFile();
  if (program.empty())
    return defaultModuleRelativeToProgram();
  return (program.parent_path() / defaultModuleRelativeToProgram()).lexically_normal();
}

// A step as the user typed it; CLI11 only checks that it is a number.
CLI::Option *addStep(CLI::App &app, const char *name, std::optional<std::string> &target, const char *help) {
  return app
      .add_option_function<std::string>(
          name, [&target](const std::string &typed) { target = typed; }, help)
      ->type_name("X")
      ->check(CLI::Number);
}

CLI::Option *addChoice(CLI::App &app, const char *name, std::optional<int32_t> &target,
                       const std::map<std::string, int32_t> &names, const char *help) {
  return app
      .add_option_function<std::string>(
          name, [&target, &names](const std::string &text) { target = names.at(text); }, help)
      ->check(CLI::IsMember(names));
}

void addSessionOptions(CLI::App &app, SessionOptions &session, std::string &module) {
  app.add_flag("--timings", session.timings, "print on stderr how long each phase took");
  app.add_option("--module", module, "the module to load (default: " + defaultModule().string() + ")")
      ->type_name("PATH");
  app.add_option("--prefs", session.prefs,
                 "the preference file: read at start (a missing file is an empty store), replaced on every store")
      ->type_name("FILE");
}

bool readText(const std::filesystem::path &file, std::string &text) {
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return !in.bad();
}

}  // namespace

int main(int argc, char **argv) {
#ifdef _WIN32
  // The same bytes on every platform: lines end in \n, not \r\n.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  CLI::App app{
      "hostemu: the host emulator for the Kwantel module. It loads the module as the 3D application does and\n"
      "offers every service the module calls: documents, dialogs, preferences, resources, a console.",
      "hostemu"};
  app.require_subcommand(0, 1);
  // Options start with - or --, on Windows too: a path such as /tmp/scene.json
  // is an argument, not a Windows-style /option.
  app.allow_windows_style_options(false);
  app.footer(
      "Exit status: 0 done; 1 the module was refused or failed to start; 2 bad command line, bad input file\n"
      "or refused action (one line on stderr says which; no output file is written).\n"
      "Run 'hostemu run --help', 'hostemu round --help' or 'hostemu validate --help' for the options of each\n"
      "command.");

  // hostemu run
  RunOptions run;
  std::string runModule;
  std::filesystem::path script;
  std::string inlineActions;
  CLI::App *runApp = app.add_subcommand("run", "load the module, perform user actions, write what came of them");
  addSessionOptions(*runApp, run.session, runModule);
  runApp->add_option("--scene", run.session.scene, "the scene to open as the active document (default: empty)")
      ->type_name("FILE");
  runApp->add_option("--host-version", run.session.hostVersion, "the host version the module is given")
      ->type_name("N")
      ->default_val(run.session.hostVersion);
  runApp->add_option("--out", run.outputs.scene, "write the scene after the actions")->type_name("FILE");
  runApp->add_option("--console", run.outputs.console, "write the console lines as JSON lines")->type_name("FILE");
  runApp->add_option("--journal", run.outputs.journal, "write every host service call as JSON lines")
      ->type_name("FILE");
  CLI::Option *scriptOption =
      runApp->add_option("--script", script, "the actions, one a line ('#' starts a comment)")->type_name("FILE");
  CLI::Option *doOption =
      runApp->add_option("--do", inlineActions, "the actions, separated by ';'")->type_name("\"ACTION; ...\"");
  scriptOption->excludes(doOption);
  runApp->footer(
      "Actions:\n"
      "  invoke              pick the command from the menu\n"
      "  set ID VALUE        change gadget ID: checkbox 0 or 1, combo box a child's value, number field the\n"
      "                      value as typed (degrees for an angle field)\n"
      "  press ID            click button ID or pick menu item ID\n"
      "  close               close the dialog window\n"
      "  select PATH ...     make exactly these objects the selection (names joined by '/' from the top\n"
      "                      level; a bare name must be unique; quote names with spaces)\n"
      "  undo, redo          one step of the document's undo history\n"
      "  restart             end and unload the module, load and start it again\n"
      "  dialog              print every gadget of the open dialog as a JSON line");

  // hostemu round
  RoundOptions round;
  std::string roundModule;
  CLI::App *roundApp =
      app.add_subcommand("round", "round a scene file through the module's dialog, as a user pressing Round");
  roundApp->add_option("SCENE", round.session.scene, "the scene file to round")->required()->type_name("SCENE");
  roundApp->add_option("-o,--output", round.output, "where to write the rounded scene")->required()->type_name("OUT");
  addSessionOptions(*roundApp, round.session, roundModule);
  RoundChoices &choices = round.choices;
  addChoice(*roundApp, "--scope", choices.scope, kScopes, "which objects to round");
  addChoice(*roundApp, "--target", choices.target, kTargets, "whether Round Scale/Size acts on size or on scale");
  roundApp->add_flag_function(
      "--position,!--no-position", [&choices](int64_t n) { choices.position = n > 0; }, "round positions (or not)");
  roundApp->add_flag_function(
      "--rotation,!--no-rotation", [&choices](int64_t n) { choices.rotation = n > 0; }, "round rotations (or not)");
  roundApp->add_flag_function(
      "--scale,!--no-scale", [&choices](int64_t n) { choices.scale = n > 0; }, "round scale or size (or not)");
  roundApp->add_flag_function(
      "--warnings,!--no-warnings", [&choices](int64_t n) { choices.warnings = n > 0; },
      "write warnings about objects that cannot be sized to the console");
  addStep(*roundApp, "--position-step", choices.positionStep, "step for positions");
  addStep(*roundApp, "--rotation-step", choices.rotationStep, "step for rotations, in degrees")->type_name("DEG");
  addStep(*roundApp, "--scale-step", choices.scaleStep, "step for scale");
  addStep(*roundApp, "--size-step", choices.sizeStep, "step for sizes");
  addChoice(*roundApp, "--position-mode", choices.positionMode, kModes, "rounding of positions");
  addChoice(*roundApp, "--rotation-mode", choices.rotationMode, kModes, "rounding of rotations");
  addChoice(*roundApp, "--size-mode", choices.sizeMode, kModes, "rounding of size and of scale");
  roundApp->add_flag("--table", round.table, "print a before/after table of every object");
  roundApp->footer("Options that are not given keep the saved settings (--prefs), or the defaults.");

  // hostemu validate
  hostemu::validate::ValidateOptions validate;
  std::string validateModule;
  bool listChecks = false;
  CLI::App *validateApp =
      app.add_subcommand("validate", "run the module through a battery of checks under hostile conditions");
  validateApp->add_option("--module", validateModule, "the module to check (default: " + defaultModule().string() + ")")
      ->type_name("PATH");
  validateApp->add_option("--level", validate.level, "how hard to push: 1 (quick) to 10 (long)")
      ->check(CLI::Range(1, 10))
      ->default_val(validate.level);
  validateApp->add_option("--seed", validate.seed, "the seed of the random checks; a run's report names its seed")
      ->type_name("N");
  validateApp->add_option("--json", validate.json, "also write the report as JSON")->type_name("FILE");
  validateApp->add_option("--check", validate.only, "run only this check (repeatable)")->type_name("NAME");
  validateApp->add_flag("--list", listChecks, "list the checks and their levels");
  // How the validator starts a check's child process where it cannot fork; not for users.
  validateApp->add_option("--child-scratch", validate.childScratch)->group("");
  validateApp->footer(
      "Each check runs in a process of its own with a time limit and ends PASSED, FAILED, CRASHED, TIMEOUT,\n"
      "SKIPPED or WARNING. Exit status: 0 when none failed, crashed or timed out; 1 when one did; 2 bad\n"
      "command line.");

  if (argc <= 1) {
    std::printf("%s", app.help().c_str());
    return kDone;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp &) {
    const CLI::App *asked = runApp->parsed()        ? runApp
                            : roundApp->parsed()    ? roundApp
                            : validateApp->parsed() ? validateApp
                                                    : &app;
    std::printf("%s", asked->help().c_str());
    return kDone;
  } catch (const CLI::ParseError &error) {
    std::fprintf(stderr, "hostemu: %s; see hostemu --help\n", error.what());
    return kBadInput;
  }
  if (app.get_subcommands().empty()) {
    std::printf("%s", app.help().c_str());
    return kDone;
  }

  if (runApp->parsed()) {
    run.session.module = runModule.empty() ? defaultModule() : std::filesystem::path(runModule);
    run.session.journal = !run.outputs.journal.empty();
    ActionList actions;
    if (!script.empty()) {
      std::string text;
      if (!readText(script, text)) {
        std::fprintf(stderr, "hostemu: --script %s: cannot be read; give the path of a script file\n",
                     script.string().c_str());
        return kBadInput;
      }
      actions = parseActions(text, script.string(), false);
    } else {
      actions = parseActions(inlineActions, "--do", true);
    }
    if (!actions.error.empty()) {
      std::fprintf(stderr, "hostemu: %s\n", actions.error.c_str());
      return kBadInput;
    }
    run.actions = std::move(actions.actions);
    const std::pair<const std::filesystem::path &, const char *> outputs[] = {
        {run.outputs.scene, "--out"}, {run.outputs.console, "--console"}, {run.outputs.journal, "--journal"}};
    for (const auto &[file, option] : outputs) {
      if (auto failure = checkOutputFile(file, option)) {
        std::fprintf(stderr, "hostemu: %s\n", failure->message.c_str());
        return failure->status;
      }
    }
    return runCommand(run);
  }
  if (validateApp->parsed()) {
    if (listChecks) {
      hostemu::validate::printCheckList();
      return kDone;
    }
    validate.module = validateModule.empty() ? defaultModule() : std::filesystem::path(validateModule);
    return hostemu::validate::validateCommand(validate);
  }
  round.session.module = roundModule.empty() ? defaultModule() : std::filesystem::path(roundModule);
  return roundCommand(round);
}
