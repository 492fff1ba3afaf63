// Scene files are written by hand rather than through a JSON document: a
// scene of millions of points is formatted straight from the flat scene, one
// object or point a line, so that a diff of two scenes reads well.
#include "scene_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace hostemu {
namespace {

// Deep hierarchies would otherwise grow the file with the square of the depth.
constexpr size_t kMaxIndentLevels = 32;

void appendIndent(std::string &out, size_t levels) {
  out.append(2 * std::min(levels, kMaxIndentLevels), ' ');
}

void appendString(std::string &out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 15];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

// Numbers and vectors are put together in a small buffer and appended at
// once: a scene of millions of points is mostly made of them.
constexpr size_t kNumberText = 32;  // "-2.2250738585072014e-308" and a ".0"
constexpr size_t kVectorText = 3 * kNumberText + 8;

char *writeNumber(char *out, double value) {
  if (std::isnan(value))
    return std::copy_n("\"NaN\"", 5, out);
  if (std::isinf(value))
    return value > 0 ? std::copy_n("\"Infinity\"", 10, out) : std::copy_n("\"-Infinity\"", 11, out);
  char *end = std::to_chars(out, out + kNumberText - 2, value).ptr;
  // "1" would read back as an integer: exact, but "1.0" says what it is and
  // keeps the sign of -0.0.
  if (std::find_if(out, end, [](char c) { return c == '.' || c == 'e'; }) == end) {
    *end++ = '.';
    *end++ = '0';
  }
  return end;
}

char *writeVector(char *out, const SceneVector &v) {
  *out++ = '[';
  out = writeNumber(out, v.x);
  *out++ = ',';
  *out++ = ' ';
  out = writeNumber(out, v.y);
  *out++ = ',';
  *out++ = ' ';
  out = writeNumber(out, v.z);
  *out++ = ']';
  return out;
}

void appendVector(std::string &out, const SceneVector &v) {
  char text[kVectorText];
  out.append(text, writeVector(text, v));
}

bool sameBits(const SceneVector &a, const SceneVector &b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

void appendPoints(std::string &out, const SceneObject &object, size_t levels) {
  out += '[';
  const size_t indent = 2 * std::min(levels + 1, kMaxIndentLevels);
  char line[2 + 2 * kMaxIndentLevels + kVectorText];
  bool first = true;
  for (const SceneVector &point : object.points) {
    char *end = line;
    if (!first)
      *end++ = ',';
    *end++ = '\n';
    end = std::fill_n(end, indent, ' ');
    out.append(line, writeVector(end, point));
    first = false;
  }
  if (!first) {
    out += '\n';
    appendIndent(out, levels);
  }
  out += ']';
}

bool hasChildren(const Scene &scene, size_t index) {
  return index + 1 < scene.objects.size() && scene.objects[index + 1].parent == index;
}

// Whether a field the input did not give must be written all the same.
bool differsFromDefault(const Scene &scene, size_t index, SceneField field) {
  const SceneObject &object = scene.objects[index];
  switch (field) {
    case SceneField::name:
      return !object.name.empty();
    case SceneField::type:
      return object.type != SceneObjectType::null;
    case SceneField::selected:
      return object.selected;
    case SceneField::position:
      return !sameBits(object.position, SceneVector{0.0, 0.0, 0.0});
    case SceneField::rotation:
      return !sameBits(object.rotation, SceneVector{0.0, 0.0, 0.0});
    case SceneField::scale:
      return !sameBits(object.scale, SceneVector{1.0, 1.0, 1.0});
    case SceneField::bboxCenter:
      return object.bboxCenter.has_value();
    case SceneField::pointsLocked:
      return object.pointsLocked;
    case SceneField::points:
      return !object.points.empty();
    case SceneField::children:
      return hasChildren(scene, index);
  }
  return false;
}

// Walks an object's fields: first those the input gave, in its order, with
// the unknown ones where they stood; then the others that need writing.
struct FieldCursor {
  uint8_t known = 0;
  size_t extra = 0;
  int canonical = 0;

  enum class Kind { field, extra, end };
  struct Item {
    Kind kind;
    SceneField field;
    const SceneExtra *extra;
  };

  Item next(const Scene &scene, size_t index) {
    const SceneObject &object = scene.objects[index];
    if (extra < object.extras.size() && object.extras[extra].afterFields <= known) {
      return {Kind::extra, SceneField::name, &object.extras[extra++]};
    }
    if (known < object.fieldCount)
      return {Kind::field, object.fieldOrder[known++], nullptr};
    if (extra < object.extras.size())
      return {Kind::extra, SceneField::name, &object.extras[extra++]};
    while (canonical < kSceneFieldCount) {
      auto field = static_cast<SceneField>(canonical++);
      if (!object.hasField(field) && differsFromDefault(scene, index, field))
        return {Kind::field, field, nullptr};
    }
    return {Kind::end, SceneField::name, nullptr};
  }
};

void appendField(std::string &out, const SceneObject &object, SceneField field, size_t levels) {
  switch (field) {
    case SceneField::name:
      appendString(out, object.name);
      break;
    case SceneField::type:
      out += object.type == SceneObjectType::polygon ? "\"polygon\"" : "\"null\"";
      break;
    case SceneField::selected:
      out += object.selected ? "true" : "false";
      break;
    case SceneField::pointsLocked:
      out += object.pointsLocked ? "true" : "false";
      break;
    case SceneField::position:
      appendVector(out, object.position);
      break;
    case SceneField::rotation:
      appendVector(out, object.rotation);
      break;
    case SceneField::scale:
      appendVector(out, object.scale);
      break;
    case SceneField::bboxCenter:
      if (object.bboxCenter) {
        appendVector(out, *object.bboxCenter);
      } else {
        out += "null";
      }
      break;
    case SceneField::points:
      appendPoints(out, object, levels);
      break;
    case SceneField::children:
      break;  // written by the caller, which walks the tree
  }
}

struct OpenObject {
  size_t index;
  FieldCursor cursor;
  bool firstField = true;
  bool inChildren = false;
  bool firstChild = true;
};

// Writes the subtree of scene.objects[*next] and advances *next past it.
void appendSubtree(std::string &out, const Scene &scene, size_t &next, size_t baseLevels) {
  std::vector<OpenObject> open;
  open.push_back(OpenObject{next++, {}});
  out += '{';
  while (!open.empty()) {
    OpenObject &current = open.back();
    size_t levels = baseLevels + open.size() - 1;
    if (current.inChildren) {
      if (next < scene.objects.size() && scene.objects[next].parent == current.index) {
        out += current.firstChild ? "\n" : ",\n";
        current.firstChild = false;
        appendIndent(out, levels + 1);
        out += '{';
        open.push_back(OpenObject{next++, {}});
      } else {
        if (!current.firstChild) {
          out += '\n';
          appendIndent(out, levels);
        }
        out += ']';
        current.inChildren = false;
      }
      continue;
    }
    FieldCursor::Item item = current.cursor.next(scene, current.index);
    if (item.kind == FieldCursor::Kind::end) {
      out += '}';
      open.pop_back();
      continue;
    }
    if (!current.firstField)
      out += ", ";
    current.firstField = false;
    if (item.kind == FieldCursor::Kind::extra) {
      appendString(out, item.extra->key);
      out += ": ";
      out += item.extra->value.dump();
      continue;
    }
    appendString(out, sceneFieldKey(item.field));
    out += ": ";
    if (item.field == SceneField::children) {
      out += '[';
      current.inChildren = true;
    } else {
      appendField(out, scene.objects[current.index], item.field, levels);
    }
  }
}

void appendExtra(std::string &out, const SceneExtra &extra, bool &first) {
  out += first ? "\n  " : ",\n  ";
  first = false;
  appendString(out, extra.key);
  out += ": ";
  out += extra.value.dump();
}

}  // namespace

void appendSceneNumber(std::string &out, double value) {
  char text[kNumberText];
  out.append(text, writeNumber(text, value));
}

std::string formatScene(const Scene &scene) {
  std::string out;
  size_t points = 0;
  for (const SceneObject &object : scene.objects)
    points += object.points.size();
  // Generous: pages of the reserve that stay unused are never touched.
  out.reserve(160 * scene.objects.size() + 48 * points + 64);

  out += '{';
  bool first = true;
  size_t extra = 0;
  for (; extra < scene.extras.size() && scene.extras[extra].afterFields == 0; ++extra) {
    appendExtra(out, scene.extras[extra], first);
  }
  out += first ? "\n  \"objects\": [" : ",\n  \"objects\": [";
  first = false;
  size_t next = 0;
  while (next < scene.objects.size()) {
    out += next == 0 ? "\n    " : ",\n    ";
    appendSubtree(out, scene, next, 2);
  }
  out += scene.objects.empty() ? "]" : "\n  ]";
  for (; extra < scene.extras.size(); ++extra)
    appendExtra(out, scene.extras[extra], first);
  out += "\n}\n";
  return out;
}

}  // namespace hostemu
