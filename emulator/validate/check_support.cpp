#include "check_support.h"

#include "container.h"
#include "dialogs.h"
#include "kernel.h"
#include "plugins.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>

namespace hostemu::validate {

Rig::Rig(const CheckContext &context, HostOptions options) : module_(context.module) {
  host_ = std::make_unique<Host>(std::move(options));
  host_->setActiveDocument(std::make_unique<Document>());
  loader_ = std::make_unique<ModuleLoader>(*host_);
}

Rig::~Rig() {
  loader_.reset();
  host_.reset();
}

LoadResult Rig::restart() {
  loader_->end();
  return loader_->load(module_);
}

std::string leftovers(Host &host) {
  const Kernel &kernel = host.kernel();
  struct Account {
    const char *what;
    uint64_t count;
  };
  const Account accounts[] = {
      {"memory blocks", kernel.liveBlocks()},       {"strings", kernel.liveStrings()},
      {"object arrays", kernel.liveObjectArrays()}, {"containers", liveContainers()},
      {"dialogs", host.dialogs().liveDialogs()},    {"registered commands", host.plugins().commands().size()},
  };
  std::string found;
  for (const Account &account : accounts) {
    if (account.count == 0)
      continue;
    found += (found.empty() ? "" : ", ") + std::to_string(account.count) + " " + account.what;
  }
  return found.empty() ? found : found + " still alive";
}

Snapshot snapshot(const Document &document) {
  Snapshot values;
  values.reserve(document.objectCount());
  for (const HostObject *o = document.firstObject(); o != nullptr; o = Document::nextInTree(o)) {
    values.push_back({o, o->position, o->rotation, o->scale, o->points});
  }
  return values;
}

namespace {

bool sameBits(double a, double b) {
  return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

struct Component {
  const char *name;
  const double *after;
  const double *before;
};

// The scalar components of one object's values, named as a user reads them.
template <typename Visit>
bool eachComponent(const ObjectValues &after, const ObjectValues &before, Visit visit) {
  const std::pair<const char *, std::pair<const HostVector *, const HostVector *>> vectors[] = {
      {"position", {&after.position, &before.position}},
      {"rotation", {&after.rotation, &before.rotation}},
      {"scale", {&after.scale, &before.scale}},
  };
  for (const auto &[name, pair] : vectors) {
    const double a[3] = {pair.first->x, pair.first->y, pair.first->z};
    const double b[3] = {pair.second->x, pair.second->y, pair.second->z};
    for (int axis = 0; axis < 3; ++axis) {
      if (!visit(std::string(name) + "." + "xyz"[axis], a[axis], b[axis]))
        return false;
    }
  }
  const size_t count = std::min(after.points.size(), before.points.size());
  for (size_t i = 0; i < count; ++i) {
    const double a[3] = {after.points[i].x, after.points[i].y, after.points[i].z};
    const double b[3] = {before.points[i].x, before.points[i].y, before.points[i].z};
    for (int axis = 0; axis < 3; ++axis) {
      if (!visit("points[" + std::to_string(i) + "]." + "xyz"[axis], a[axis], b[axis]))
        return false;
    }
  }
  return true;
}

bool allFinite(const ObjectValues &values) {
  return eachComponent(values, values, [](const std::string &, double a, double) { return std::isfinite(a); });
}

}  // namespace

std::string hex(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g (0x%016llx)", value,
                static_cast<unsigned long long>(std::bit_cast<uint64_t>(value)));
  return text;
}

std::string firstDifference(const Snapshot &after, const Snapshot &before, const char *when) {
  if (after.size() != before.size()) {
    return std::string(when) + ": the document has " + std::to_string(after.size()) + " objects, not " +
           std::to_string(before.size());
  }
  std::string found;
  for (size_t i = 0; i < after.size() && found.empty(); ++i) {
    const ObjectValues &a = after[i];
    const ObjectValues &b = before[i];
    if (a.points.size() != b.points.size()) {
      found = std::string(when) + ": object " + Document::pathOf(a.object) + " has " + std::to_string(a.points.size()) +
              " points, not " + std::to_string(b.points.size());
      break;
    }
    eachComponent(a, b, [&](const std::string &name, double x, double y) {
      if (sameBits(x, y))
        return true;
      found = std::string(when) + ": object " + Document::pathOf(a.object) + " " + name + " is " + hex(x) +
              ", expected " + hex(y);
      return false;
    });
  }
  return found;
}

std::string firstNonFinite(const Snapshot &after, const Snapshot &before) {
  std::string found;
  for (size_t i = 0; i < after.size() && i < before.size() && found.empty(); ++i) {
    if (!allFinite(before[i]))
      continue;
    eachComponent(after[i], before[i], [&](const std::string &name, double x, double y) {
      if (std::isfinite(x))
        return true;
      found =
          "object " + Document::pathOf(after[i].object) + " " + name + " became " + hex(x) + " (was " + hex(y) + ")";
      return false;
    });
  }
  return found;
}

std::unique_ptr<Document> randomScene(std::mt19937_64 &random, size_t objects) {
  auto document = std::make_unique<Document>();
  std::vector<HostObject *> made;
  made.reserve(objects);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  // Magnitudes from a thousandth to ten thousand, of either sign.
  auto value = [&] {
    double magnitude = std::pow(10.0, unit(random) * 7.0 - 3.0);
    return unit(random) < 0.5 ? -magnitude : magnitude;
  };
  for (size_t i = 0; i < objects; ++i) {
    HostObject *parent = made.empty() || unit(random) < 0.3 ? nullptr : made[random() % made.size()];
    const bool points = unit(random) < 0.6;
    HostObject &o = document->addObject(parent, "Object " + std::to_string(i),
                                        points ? ObjectKind::pointObject : ObjectKind::nullObject);
    o.selected = unit(random) < 0.4;
    o.position = {value(), value(), value()};
    o.rotation = {unit(random) * 12.0 - 6.0, unit(random) * 12.0 - 6.0, unit(random) * 12.0 - 6.0};
    o.scale = {0.01 + unit(random) * 3.0, 0.01 + unit(random) * 3.0, 0.01 + unit(random) * 3.0};
    if (points) {
      o.pointsLocked = unit(random) < 0.1;
      const size_t count = random() % 9;
      for (size_t p = 0; p < count; ++p)
        o.points.push_back({value(), value(), value()});
    }
    made.push_back(&o);
  }
  return document;
}

std::vector<nlohmann::json> describeDialog(Host &host) {
  std::vector<nlohmann::json> gadgets;
  host.dialogs().describe(gadgets);
  return gadgets;
}

std::vector<nlohmann::json> settableGadgets(Host &host) {
  std::vector<nlohmann::json> settable;
  for (nlohmann::json &gadget : describeDialog(host)) {
    const std::string kind = gadget.value("kind", "");
    if (kind == "checkbox" || kind == "combo box" || kind == "number field")
      settable.push_back(std::move(gadget));
  }
  return settable;
}

namespace {

double number(const nlohmann::json &value) {
  if (value.is_number())
    return value.get<double>();
  const std::string text = value.is_string() ? value.get<std::string>() : "";
  if (text == "Infinity")
    return INFINITY;
  if (text == "-Infinity")
    return -INFINITY;
  return NAN;
}

bool isNumberField(const nlohmann::json &gadget) {
  return gadget.contains("min");
}

double typedUnit(const nlohmann::json &gadget) {
  return gadget.value("format", "") == "fdgr" ? kRadiansPerDegree : 1.0;
}

}  // namespace

double inRangeValue(const nlohmann::json &gadget, std::mt19937_64 &random) {
  if (gadget.contains("children")) {
    const nlohmann::json &children = gadget["children"];
    if (children.empty())
      return 0.0;
    return children[random() % children.size()]["value"].get<double>();
  }
  if (!isNumberField(gadget))
    return double(random() % 2);
  const double low = number(gadget["min"]) / typedUnit(gadget);
  const double high = number(gadget["max"]) / typedUnit(gadget);
  std::uniform_real_distribution<double> within(0.0, 1.0);
  // Mostly small steps, as users type them, and sometimes the bounds.
  switch (random() % 6) {
    case 0:
      return low;
    case 1:
      return high;
    default: {
      const double t = within(random);
      return low + (high - low) * t * t * t;
    }
  }
}

double outOfRangeValue(const nlohmann::json &gadget, std::mt19937_64 &random) {
  if (gadget.contains("children")) {
    int32_t unused = -7;
    for (const nlohmann::json &child : gadget["children"])
      unused = std::max(unused, child["value"].get<int32_t>() + 1);
    const double picks[] = {double(unused), -1.0, 0.5, 2147483648.0, NAN};
    return picks[random() % std::size(picks)];
  }
  if (!isNumberField(gadget)) {
    const double picks[] = {2.0, -1.0, 0.5, NAN};
    return picks[random() % std::size(picks)];
  }
  const double low = number(gadget["min"]) / typedUnit(gadget);
  const double high = number(gadget["max"]) / typedUnit(gadget);
  const double picks[] = {low / 2.0, -low,  0.0,      -0.0, 4.9406564584124654e-324, high * 2.0, 1e308,
                          -1e308,    -high, INFINITY, NAN};
  return picks[random() % std::size(picks)];
}

std::string setRandomSettings(Host &host, std::mt19937_64 &random) {
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<nlohmann::json> gadgets = settableGadgets(host);
    std::shuffle(gadgets.begin(), gadgets.end(), random);
    for (const nlohmann::json &gadget : gadgets) {
      if (!gadget.value("enabled", true))
        continue;
      const int32_t id = gadget["id"].get<int32_t>();
      const double value = inRangeValue(gadget, random);
      ActionResult result = host.dialogs().set(id, value);
      // A gadget disabled by an earlier one in this pass is no fault.
      if (!result.ok() && result.error != ActionError::disabled)
        return refusal(result, "set " + std::to_string(id) + " " + std::to_string(value));
    }
  }
  return {};
}

nlohmann::json gadgetValues(Host &host) {
  nlohmann::json values = nlohmann::json::object();
  for (const nlohmann::json &gadget : settableGadgets(host))
    values[std::to_string(gadget["id"].get<int32_t>())] = gadget["value"];
  return values;
}

std::string refusal(const ActionResult &result, const std::string &what) {
  if (result.ok())
    return {};
  return what + ": refused: " + result.message;
}

}  // namespace hostemu::validate
