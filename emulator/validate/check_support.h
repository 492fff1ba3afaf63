// What the checks share: a host with the module loaded, the accounts that
// must come back to zero, scenes to round, snapshots compared bit for bit,
// and the user's hand on the dialog.
#pragma once

#include "checks.h"
#include "document.h"
#include "host.h"
#include "module_loader.h"
#include "user_action.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace hostemu::validate {

inline constexpr int32_t kPluginId = 1061771;
// The dialog's buttons and menu items the checks press.
inline constexpr int32_t kRound = 1001;
inline constexpr int32_t kCancel = 1002;
inline constexpr int32_t kReload = 5003;
inline constexpr int32_t kSave = 5004;
inline constexpr int32_t kReset = 5005;
inline constexpr int32_t kScope = 1003;
inline constexpr int32_t kScopeAll = 2;

// The stored settings: key, the type it is saved as, and whether it is a step.
enum class KeyType { boolean, number, integer };
struct SettingKey {
  int32_t key;
  KeyType type;
  bool step;
};
inline constexpr SettingKey kSettingKeys[] = {
    {1100, KeyType::boolean, false}, {1103, KeyType::boolean, false}, {1106, KeyType::boolean, false},
    {1101, KeyType::number, true},   {1104, KeyType::number, true},   {1107, KeyType::number, true},
    {1108, KeyType::number, true},   {1102, KeyType::integer, false}, {1105, KeyType::integer, false},
    {1109, KeyType::integer, false}, {1110, KeyType::integer, false}, {1003, KeyType::integer, false},
    {1004, KeyType::boolean, false},
};

// A host and the module in it. The module goes before the host.
class Rig {
 public:
  explicit Rig(const CheckContext &context, HostOptions options = {});
  ~Rig();
  Rig(const Rig &) = delete;
  Rig &operator=(const Rig &) = delete;

  Host &host() { return *host_; }
  ModuleLoader &loader() { return *loader_; }
  LoadResult start() { return loader_->load(module_); }
  void end() { loader_->end(); }
  // Ends the module, loads and starts it again.
  LoadResult restart();

  Document &document() { return *host_->activeDocument(); }
  void setDocument(std::unique_ptr<Document> document) { host_->setActiveDocument(std::move(document)); }

 private:
  std::filesystem::path module_;
  std::unique_ptr<Host> host_;
  std::unique_ptr<ModuleLoader> loader_;
};

// What the module still holds in the host: blocks, strings, object arrays,
// containers, dialogs, commands. Empty when all are zero.
std::string leftovers(Host &host);

// The values of every object, in tree order.
struct ObjectValues {
  const HostObject *object = nullptr;
  HostVector position{};
  HostVector rotation{};
  HostVector scale{};
  std::vector<HostVector> points;
};
using Snapshot = std::vector<ObjectValues>;
Snapshot snapshot(const Document &document);
// Where after differs from before in any bit; empty when equal.
std::string firstDifference(const Snapshot &after, const Snapshot &before, const char *when);
// A value that was finite before and is NaN or infinite after; objects that
// had anything non-finite before are not judged. Empty when there is none.
std::string firstNonFinite(const Snapshot &after, const Snapshot &before);

// Scenes. A random tree of objects (nulls and point objects, some selected,
// some with locked points), values of every sign and magnitude a user keeps.
std::unique_ptr<Document> randomScene(std::mt19937_64 &random, size_t objects);

// The user at the dialog.
std::vector<nlohmann::json> describeDialog(Host &host);
// The gadgets a user can set: checkboxes, combo boxes and number fields.
std::vector<nlohmann::json> settableGadgets(Host &host);
// A value the gadget takes, in the unit the user types (degrees for an
// angle field).
double inRangeValue(const nlohmann::json &gadget, std::mt19937_64 &random);
// A value outside what the gadget takes.
double outOfRangeValue(const nlohmann::json &gadget, std::mt19937_64 &random);
// Sets every enabled settable gadget to a value in range, in random order,
// twice, so that gadgets enabled by the first pass get a value too.
std::string setRandomSettings(Host &host, std::mt19937_64 &random);
// The values the settings gadgets hold, id to value, for bit-for-bit equality.
nlohmann::json gadgetValues(Host &host);

// "what: refused: why" when result is a refusal; empty otherwise.
std::string refusal(const ActionResult &result, const std::string &what);

std::string hex(double value);

}  // namespace hostemu::validate
