#include "module_user.h"

#include "dialogs.h"
#include "ids.h"
#include "kernel.h"
#include "plugins.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {
namespace {

[[noreturn]] void Stop(const std::string &what) {
  std::fprintf(stderr, "kwantel_bench: %s\n", what.c_str());
  std::exit(1);
}

constexpr double kAllObjects = 2.0;

}  // namespace

ModuleUser::ModuleUser(hostemu::Host &host, const RoundChoice &choice) : host_(host), loader_(host) {
  if (hostemu::LoadResult loaded = loader_.load(KWANTEL_BENCH_MODULE); !loaded.ok())
    Stop("the module did not load: " + loaded.message);
  if (hostemu::ActionResult invoked = host_.plugins().invoke(); !invoked.ok())
    Stop("the module's command did not run: " + invoked.message);
  // The checkboxes first: they enable the fields below them.
  set(kwantel::ID_ROUND_POSITION, choice.position ? 1.0 : 0.0);
  set(kwantel::ID_ROUND_ROTATION, choice.rotation ? 1.0 : 0.0);
  set(kwantel::ID_ROUND_SCALE, choice.scale ? 1.0 : 0.0);
  if (choice.scale)
    set(kwantel::ID_SIZE_OR_SCALE, choice.target);
  set(kwantel::ID_SELECTION, kAllObjects);
}

ModuleUser::~ModuleUser() {
  host_.dialogs().close();
  loader_.end();
}

void ModuleUser::set(int32_t id, double value) {
  if (hostemu::ActionResult result = host_.dialogs().set(id, value); !result.ok())
    Stop("the dialog refused gadget " + std::to_string(id) + ": " + result.message);
}

void ModuleUser::pressRound() {
  if (hostemu::ActionResult pressed = host_.dialogs().press(kwantel::ID_ROUND_BUTTON); !pressed.ok())
    Stop("\"Round\" could not be pressed: " + pressed.message);
}

uint64_t KernelHandedOut(hostemu::Host &host) {
  const hostemu::Kernel &kernel = host.kernel();
  return kernel.blocksHandedOut() + kernel.stringsHandedOut() + kernel.objectArraysHandedOut();
}

}  // namespace bench
