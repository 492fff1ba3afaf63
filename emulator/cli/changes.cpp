#include "changes.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <string_view>

namespace hostemu::cli {
namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr size_t kNamesShown = 5;

bool same(double a, double b) {
  return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

// Counts the components that differ and keeps the largest difference.
size_t compare(const HostVector &before, const HostVector &after, double unit, const HostObject *object,
               LargestChange &largest) {
  const double b[3] = {before.x, before.y, before.z};
  const double a[3] = {after.x, after.y, after.z};
  size_t changed = 0;
  for (int i = 0; i < 3; ++i) {
    if (same(a[i], b[i]))
      continue;
    ++changed;
    double amount = std::fabs(a[i] - b[i]) * unit;
    if (std::isnan(amount))
      continue;
    if (largest.object == nullptr || amount > largest.amount)
      largest = LargestChange{amount, object};
  }
  return changed;
}

HostVector extent(const std::vector<HostVector> &points) {
  if (points.empty())
    return HostVector{0.0, 0.0, 0.0};
  HostVector low = points[0];
  HostVector high = points[0];
  for (const HostVector &p : points) {
    low = HostVector{std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z)};
    high = HostVector{std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z)};
  }
  return HostVector{high.x - low.x, high.y - low.y, high.z - low.z};
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value == 0.0 ? 0.0 : value);  // no "-0" in a table for people
  return text;
}

std::string triple(const HostVector &v, double unit = 1.0) {
  return number(v.x * unit) + ", " + number(v.y * unit) + ", " + number(v.z * unit);
}

bool sameVector(const HostVector &a, const HostVector &b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string nameOf(const Skipped &skipped) {
  return skipped.object != nullptr ? Document::pathOf(skipped.object) : skipped.name;
}

std::string largestText(const char *what, const LargestChange &largest, const char *unit) {
  if (largest.object == nullptr)
    return {};
  return std::string(what) + " " + number(largest.amount) + unit + " (" + Document::pathOf(largest.object) + ")";
}

void printSkipped(std::FILE *out, const Changes &changes, SkipReason reason, const char *why) {
  std::vector<std::string> names;
  size_t count = 0;
  for (const Skipped &s : changes.skipped) {
    if (s.reason != reason)
      continue;
    if (count++ < kNamesShown)
      names.push_back(nameOf(s));
  }
  if (count == 0)
    return;
  std::string list;
  for (const std::string &name : names)
    list += (list.empty() ? "" : ", ") + name;
  if (count > names.size())
    list += ", and " + std::to_string(count - names.size()) + " more";
  std::fprintf(out, "hostemu: size not rounded, %s: %s\n", why, list.c_str());
}

}  // namespace

Changes compareScene(const Scene &before, const Document &after) {
  Changes changes;
  size_t index = 0;
  for (const HostObject *o = after.firstObject(); o != nullptr && index < before.objects.size();
       o = Document::nextInTree(o), ++index) {
    const SceneObject &was = before.objects[index];
    ++changes.objects;
    if (o->updateMessages > 0)
      ++changes.visited;
    size_t changed = compare(was.position, o->position, 1.0, o, changes.position) +
                     compare(was.rotation, o->rotation, kDegreesPerRadian, o, changes.rotation) +
                     compare(was.scale, o->scale, 1.0, o, changes.scale);
    if (was.points.size() == o->points.size()) {
      for (size_t p = 0; p < o->points.size(); ++p) {
        changed += compare(was.points[p], o->points[p], 1.0, o, changes.points);
      }
    }
    changes.changedValues += changed;
    if (changed > 0)
      ++changes.changedObjects;
  }
  return changes;
}

void addObjectsNotSized(const Document &document, Changes &changes) {
  for (const HostObject *o = document.firstObject(); o != nullptr; o = Document::nextInTree(o)) {
    if (o->updateMessages == 0)
      continue;
    if (!o->isPointObject()) {
      changes.skipped.push_back(Skipped{SkipReason::notPointObject, o, {}});
    } else if (o->pointsLocked) {
      changes.skipped.push_back(Skipped{SkipReason::pointsNotAccessible, o, {}});
    }
  }
}

void addWarnedObjects(const std::vector<ConsoleLine> &lines, Changes &changes) {
  // The module's two warnings: "Object NAME is not a point object" and
  // "Object NAME has points but the points not accessible".
  struct Warning {
    std::string_view suffix;
    SkipReason reason;
  };
  const Warning warnings[] = {{" is not a point object", SkipReason::notPointObject},
                              {" has points but the points not accessible", SkipReason::pointsNotAccessible}};
  constexpr std::string_view prefix = "Object ";
  for (const ConsoleLine &line : lines) {
    std::string_view text = line.text;
    if (text.substr(0, prefix.size()) != prefix)
      continue;
    for (const Warning &w : warnings) {
      if (text.size() >= prefix.size() + w.suffix.size() && text.substr(text.size() - w.suffix.size()) == w.suffix) {
        std::string name(text.substr(prefix.size(), text.size() - prefix.size() - w.suffix.size()));
        changes.skipped.push_back(Skipped{w.reason, nullptr, std::move(name)});
      }
    }
  }
}

void printSummary(std::FILE *out, const Changes &changes) {
  std::fprintf(out, "hostemu: %zu of %zu object%s visited, %zu value%s changed in %zu object%s\n", changes.visited,
               changes.objects, changes.objects == 1 ? "" : "s", changes.changedValues,
               changes.changedValues == 1 ? "" : "s", changes.changedObjects, changes.changedObjects == 1 ? "" : "s");
  std::string largest;
  for (const std::string &part :
       {largestText("position", changes.position, ""), largestText("rotation", changes.rotation, " deg"),
        largestText("scale", changes.scale, ""), largestText("points", changes.points, "")}) {
    if (!part.empty())
      largest += (largest.empty() ? "" : ", ") + part;
  }
  if (!largest.empty())
    std::fprintf(out, "hostemu: largest change: %s\n", largest.c_str());
  printSkipped(out, changes, SkipReason::notPointObject, "not point objects");
  printSkipped(out, changes, SkipReason::pointsNotAccessible, "points not accessible");
}

void printTable(std::FILE *out, const Scene &before, const Document &after) {
  std::fprintf(out, "%-32s %-10s %-36s %s\n", "object", "value", "before", "after");
  size_t index = 0;
  for (const HostObject *o = after.firstObject(); o != nullptr && index < before.objects.size();
       o = Document::nextInTree(o), ++index) {
    const SceneObject &was = before.objects[index];
    struct Row {
      const char *label;
      std::string before;
      std::string after;
      bool changed;
    };
    std::vector<Row> rows = {
        {"position", triple(was.position), triple(o->position), !sameVector(was.position, o->position)},
        {"rotation", triple(was.rotation, kDegreesPerRadian) + " deg", triple(o->rotation, kDegreesPerRadian) + " deg",
         !sameVector(was.rotation, o->rotation)},
        {"scale", triple(was.scale), triple(o->scale), !sameVector(was.scale, o->scale)},
    };
    if (!was.points.empty() && was.points.size() == o->points.size()) {
      bool moved = std::memcmp(was.points.data(), o->points.data(), was.points.size() * sizeof(HostVector)) != 0;
      rows.push_back(Row{"size", triple(extent(was.points)), triple(extent(o->points)), moved});
    }
    std::string path = Document::pathOf(o);
    bool first = true;
    for (const Row &row : rows) {
      std::fprintf(out, "%-32s %-10s %-36s %s\n", first ? path.c_str() : "", row.label, row.before.c_str(),
                   row.changed ? row.after.c_str() : "=");
      first = false;
    }
  }
}

}  // namespace hostemu::cli
