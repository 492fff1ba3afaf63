// Scene files are read with the JSON library's event (SAX) interface straight
// into the flat scene: a scene of millions of objects or points never exists
// as a JSON document tree as well. A large file is read in parts on all
// cores, cut between top-level objects.
#include "scene_file.h"

#include "parallel.h"
#include "scene_scan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <new>
#include <optional>
#include <utility>

namespace hostemu {
namespace {

using Json = nlohmann::json;

enum class Frame : uint8_t {
  root,        // before the top-level value
  top,         // the top-level object
  objectList,  // "objects" or "children"
  object,      // one scene object
  vector,      // position, rotation, scale, bbox_center, or one point
  pointList,   // "points"
  extra,       // inside an unknown field's value, kept as JSON
  done,        // after the top-level value
};

struct FrameState {
  explicit FrameState(Frame k) : kind(k) {}
  Frame kind;
  size_t index = 0;                 // objectList, pointList: elements begun so far
  size_t object = 0;                // object: index in Scene::objects
  size_t parent = kNoParent;        // objectList: the parent of its elements
  std::string key;                  // top, object: the key whose value is being read; empty between values
  std::optional<SceneField> field;  // object: the known field of key
  SceneVector *vector = nullptr;    // vector: where the components go
  bool point = false;               // vector: one of the points, appended when its first component comes
  int components = 0;               // vector: components read so far
};

std::optional<double> specialNumber(std::string_view text) {
  if (text == "NaN")
    return std::numeric_limits<double>::quiet_NaN();
  if (text == "Infinity")
    return std::numeric_limits<double>::infinity();
  if (text == "-Infinity")
    return -std::numeric_limits<double>::infinity();
  return std::nullopt;
}

// nlohmann's messages read "[json.exception.parse_error.101] parse error at
// line 2, column 16: syntax error ..."; only the reason is kept, since the
// place is counted by the reader.
std::string libraryReason(std::string_view text) {
  size_t line = text.find("line ");
  size_t colon = line == std::string_view::npos ? std::string_view::npos : text.find(": ", line);
  if (colon != std::string_view::npos)
    return std::string(text.substr(colon + 2));
  size_t bracket = text.find("] ");
  return std::string(bracket == std::string_view::npos ? text : text.substr(bracket + 2));
}

// Where the JSON library reads. The library reads through CursorIterator,
// so the reader can take over the inside of a number array the library has
// just opened and move the library on to its closing ']'.
//
// The text may come in up to three segments, read one after the other: a
// part of a large file is read where it lies, between the opening and the
// closing of an objects array of its own.
struct TextCursor {
  explicit TextCursor(std::string_view text) : TextCursor({text}) {}
  explicit TextCursor(std::initializer_list<std::string_view> segments) {
    for (std::string_view segment : segments) {
      if (!segment.empty() && count_ < segments_.size())
        segments_[count_++] = segment;
    }
    first = pos = end = "";
    if (count_ > 0)
      enter(0);
  }

  const char *first;  // where the current segment begins
  const char *pos;
  const char *end;  // where the current segment ends

  // Moves to p, in the current segment or at its end.
  void moveTo(const char *p) {
    pos = p;
    if (pos == end)
      enterNext();
  }
  void step() { moveTo(pos + 1); }
  bool atEnd() const { return pos == end; }

 private:
  void enter(size_t index) {
    current_ = index;
    first = pos = segments_[index].data();
    end = first + segments_[index].size();
  }
  void enterNext() {
    if (current_ + 1 < count_)
      enter(current_ + 1);
  }

  std::array<std::string_view, 3> segments_{};
  size_t count_ = 0;
  size_t current_ = 0;
};

class CursorIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char *;
  using reference = const char &;

  CursorIterator(TextCursor *cursor, bool isEnd) : cursor_(cursor), isEnd_(isEnd) {}
  const char &operator*() const { return *cursor_->pos; }
  CursorIterator &operator++() {
    cursor_->step();
    return *this;
  }
  CursorIterator operator++(int) {
    CursorIterator before = *this;
    cursor_->step();
    return before;
  }
  bool operator==(const CursorIterator &other) const { return atEnd() == other.atEnd(); }
  bool operator!=(const CursorIterator &other) const { return !(*this == other); }

 private:
  bool atEnd() const { return isEnd_ || cursor_->atEnd(); }
  TextCursor *cursor_;
  bool isEnd_;
};

class SceneReader {
 public:
  SceneReader(std::string_view source, TextCursor &cursor, SceneRead &result)
      : source_(source), cursor_(cursor), result_(result) {
    frames_.push_back(FrameState(Frame::root));
  }

  // The SAX interface of the JSON library.
  bool null() { return scalar(Json(nullptr)); }
  bool boolean(bool value) { return scalar(Json(value)); }
  // Integers stay integers in unknown fields, as the file had them.
  bool number_integer(Json::number_integer_t value) {
    return top().kind == Frame::vector ? vectorComponent(static_cast<double>(value)) : scalar(Json(value));
  }
  bool number_unsigned(Json::number_unsigned_t value) {
    return top().kind == Frame::vector ? vectorComponent(static_cast<double>(value)) : scalar(Json(value));
  }
  bool number_float(Json::number_float_t value, const std::string &) {
    return top().kind == Frame::vector ? vectorComponent(value) : scalar(Json(value));
  }
  bool string(std::string &value);
  bool binary(Json::binary_t &) { return fail(SceneProblem::wrongType, "binary data is not JSON"); }
  bool start_object(std::size_t);
  bool key(std::string &key);
  bool end_object();
  bool start_array(std::size_t);
  bool end_array();
  bool parse_error(std::size_t position, const std::string &, const nlohmann::detail::exception &error);

  // Just after the ']' that closed the top-level objects array; null before.
  const char *objectsClosedAt() const { return objectsClosedAt_; }

 private:
  FrameState &top() { return frames_.back(); }
  SceneObject &currentObject() { return result_.scene.objects[top().object]; }
  std::string path() const;
  bool fail(SceneProblem problem, std::string_view what);
  bool failField(std::string_view expected);

  bool scalar(Json value);
  // Takes over the inside of the array the library has just opened; false
  // when the library must read it.
  bool canTakeOver() const { return justRead('['); }
  bool justRead(char c) const { return cursor_.pos != cursor_.first && cursor_.pos[-1] == c; }
  bool vectorComponent(double value);
  bool endValue();

  bool extraValue(Json value);
  bool beginExtra(Json container);
  bool endExtra();

  bool beginObject();
  bool wrongField(SceneField field);

  std::string_view source_;
  TextCursor &cursor_;
  SceneRead &result_;
  std::vector<FrameState> frames_;
  std::vector<Json *> extraStack_;             // open containers of the unknown field being read
  SceneExtra *extra_ = nullptr;                // the unknown field being read
  std::string extraKey_;                       // the key inside it whose value comes next
  std::vector<HostVector> *points_ = nullptr;  // the points being read
  const char *objectsClosedAt_ = nullptr;
};

std::string SceneReader::path() const {
  std::string out;
  for (const FrameState &frame : frames_) {
    switch (frame.kind) {
      case Frame::top:
        out += frame.key;
        break;
      case Frame::object:
        if (!frame.key.empty()) {
          out += '.';
          out += frame.key;
        }
        break;
      case Frame::objectList:
      case Frame::pointList:
        // Appended piece by piece: GCC 12 warns falsely about "[" + std::string.
        if (frame.index > 0) {
          out += '[';
          out += std::to_string(frame.index - 1);
          out += ']';
        }
        break;
      default:
        break;
    }
  }
  return out;
}

bool SceneReader::fail(SceneProblem problem, std::string_view what) {
  if (result_.error)
    return false;
  SceneError error;
  error.problem = problem;
  error.path = path();
  error.message = std::string(source_) + ": " + (error.path.empty() ? std::string("top level") : error.path) + ": " +
                  std::string(what);
  result_.error = std::move(error);
  return false;
}

bool SceneReader::failField(std::string_view expected) {
  const FrameState &frame = top();
  if (frame.field == SceneField::type)
    return fail(SceneProblem::wrongType, "\"type\" must be \"null\" or \"polygon\"");
  std::string what = "\"" + frame.key + "\" must be " + std::string(expected);
  SceneProblem problem = SceneProblem::wrongType;
  if (frame.field == SceneField::position || frame.field == SceneField::rotation || frame.field == SceneField::scale ||
      frame.field == SceneField::bboxCenter) {
    problem = SceneProblem::badVector;
  }
  return fail(problem, what);
}

// A value has been read completely in the innermost frame.
bool SceneReader::endValue() {
  FrameState &frame = top();
  if (frame.kind == Frame::object || frame.kind == Frame::top) {
    frame.key.clear();
    frame.field.reset();
  }
  return true;
}

bool SceneReader::extraValue(Json value) {
  if (extraStack_.empty()) {
    extra_->value = std::move(value);
    extra_ = nullptr;
    return endValue();
  }
  Json &container = *extraStack_.back();
  if (container.is_array()) {
    container.push_back(std::move(value));
  } else {
    container[std::move(extraKey_)] = std::move(value);
  }
  return true;
}

bool SceneReader::scalar(Json value) {
  FrameState &frame = top();
  switch (frame.kind) {
    case Frame::root:
      return fail(SceneProblem::wrongType, "a scene file must hold one JSON object with an \"objects\" array");
    case Frame::extra:
      return extraValue(std::move(value));
    case Frame::top:
      if (extra_ != nullptr)
        return extraValue(std::move(value));
      return fail(SceneProblem::wrongType, "\"objects\" must be an array of objects");
    case Frame::object:
      if (extra_ != nullptr)
        return extraValue(std::move(value));
      if ((frame.field == SceneField::selected || frame.field == SceneField::pointsLocked) && value.is_boolean()) {
        (frame.field == SceneField::selected ? currentObject().selected : currentObject().pointsLocked) =
            value.get<bool>();
        return endValue();
      }
      return wrongField(*frame.field);
    case Frame::objectList:
      ++frame.index;
      return fail(SceneProblem::wrongType, "an object must be a JSON object {...}");
    case Frame::pointList:
      ++frame.index;
      return fail(SceneProblem::badPoint, "a point must be three numbers [x, y, z]");
    case Frame::vector:
      if (frame.point)
        return fail(SceneProblem::badPoint, "a point must be three numbers [x, y, z]");
      frames_.pop_back();
      return failField("three numbers [x, y, z]");
    case Frame::done:
      break;
  }
  return fail(SceneProblem::malformedJson, "unexpected value");
}

// Reports a field that got a value of the wrong kind.
bool SceneReader::wrongField(SceneField field) {
  switch (field) {
    case SceneField::name:
      return failField("a string");
    case SceneField::selected:
    case SceneField::pointsLocked:
      return failField("true or false");
    case SceneField::points:
      return failField("an array of points [[x, y, z], ...]");
    case SceneField::children:
      return failField("an array of objects");
    case SceneField::type:
      return failField("");
    default:
      return failField("three numbers [x, y, z]");
  }
}

bool SceneReader::vectorComponent(double value) {
  FrameState &frame = top();
  if (frame.components == 3) {
    if (frame.point)
      return fail(SceneProblem::badPoint, "a point must be three numbers [x, y, z]");
    frames_.pop_back();
    return failField("three numbers [x, y, z]");
  }
  if (frame.point && frame.components == 0) {
    points_->push_back(HostVector{0.0, 0.0, 0.0});
    frame.vector = &points_->back();
  }
  double *component[3] = {&frame.vector->x, &frame.vector->y, &frame.vector->z};
  *component[frame.components] = value;
  ++frame.components;
  return true;
}

bool SceneReader::string(std::string &value) {
  FrameState &frame = top();
  if (frame.kind == Frame::vector) {
    if (std::optional<double> special = specialNumber(value))
      return vectorComponent(*special);
    return scalar(Json());
  }
  if (frame.kind == Frame::object && extra_ == nullptr) {
    if (frame.field == SceneField::name) {
      currentObject().name = std::move(value);
      return endValue();
    }
    if (frame.field == SceneField::type) {
      if (value == "null" || value == "polygon") {
        currentObject().type = value == "null" ? SceneObjectType::null : SceneObjectType::polygon;
        return endValue();
      }
      return fail(SceneProblem::unknownType, "unknown type \"" + value + "\"; a type is \"null\" or \"polygon\"");
    }
  }
  return scalar(Json(std::move(value)));
}

bool SceneReader::beginExtra(Json container) {
  if (extraStack_.size() >= kMaxUnknownFieldDepth) {
    return fail(SceneProblem::tooDeep, "nested more than " + std::to_string(kMaxUnknownFieldDepth) +
                                           " levels deep; no scene field needs that, remove it");
  }
  if (extraStack_.empty()) {
    extra_->value = std::move(container);
    extraStack_.push_back(&extra_->value);
  } else {
    Json &parent = *extraStack_.back();
    Json *child = nullptr;
    if (parent.is_array()) {
      parent.push_back(std::move(container));
      child = &parent.back();
    } else {
      child = &(parent[std::move(extraKey_)] = std::move(container));
    }
    extraStack_.push_back(child);
  }
  if (top().kind != Frame::extra)
    frames_.push_back(FrameState(Frame::extra));
  return true;
}

bool SceneReader::endExtra() {
  extraStack_.pop_back();
  if (!extraStack_.empty())
    return true;
  frames_.pop_back();
  extra_ = nullptr;
  return endValue();
}

bool SceneReader::beginObject() {
  FrameState &list = top();
  ++list.index;
  size_t parent = list.parent;
  Scene &scene = result_.scene;
  scene.objects.emplace_back();
  scene.objects.back().parent = parent;
  FrameState frame{Frame::object};
  frame.object = scene.objects.size() - 1;
  frames_.push_back(std::move(frame));
  // Plain members are read here, as plain number arrays are; the library
  // reads on from the first member that is not.
  if (justRead('{')) {
    const char *p = cursor_.pos;
    scanObjectMembers(p, cursor_.end, scene.objects.back());
    cursor_.moveTo(p);
  }
  return true;
}

bool SceneReader::start_object(std::size_t) {
  FrameState &frame = top();
  switch (frame.kind) {
    case Frame::root:
      frames_.push_back(FrameState(Frame::top));
      return true;
    case Frame::objectList:
      return beginObject();
    case Frame::extra:
      return beginExtra(Json::object());
    case Frame::top:
    case Frame::object:
      if (extra_ != nullptr)
        return beginExtra(Json::object());
      break;
    default:
      break;
  }
  return scalar(Json());
}

bool SceneReader::key(std::string &key) {
  FrameState &frame = top();
  if (frame.kind == Frame::extra) {
    extraKey_ = std::move(key);
    return true;
  }
  SceneExtra *extras = nullptr;
  if (frame.kind == Frame::top) {
    if (key == "objects") {
      if (result_.scene.hasObjectsKey) {
        frame.key = key;
        return fail(SceneProblem::duplicateField, "\"objects\" is given twice");
      }
      result_.scene.hasObjectsKey = true;
      frame.key = std::move(key);
      return true;
    }
    for (SceneExtra &known : result_.scene.extras) {
      if (known.key == key) {
        frame.key = key;
        return fail(SceneProblem::duplicateField, "\"" + key + "\" is given twice");
      }
    }
    result_.scene.extras.push_back(SceneExtra{key, Json(), result_.scene.hasObjectsKey ? uint8_t{1} : uint8_t{0}});
    extras = &result_.scene.extras.back();
  } else {
    SceneObject &object = currentObject();
    frame.field = sceneFieldOfKey(key);
    frame.key = key;
    if (frame.field) {
      if (object.hasField(*frame.field)) {
        return fail(SceneProblem::duplicateField, "\"" + frame.key + "\" is given twice; keep one");
      }
      object.addField(*frame.field);
      return true;
    }
    for (SceneExtra &known : object.extras) {
      if (known.key == frame.key) {
        return fail(SceneProblem::duplicateField, "\"" + frame.key + "\" is given twice; keep one");
      }
    }
    object.extras.push_back(SceneExtra{key, Json(), object.fieldCount});
    extras = &object.extras.back();
  }
  frame.key = std::move(key);
  extra_ = extras;
  if (result_.unknownFields++ == 0)
    result_.firstUnknownField = path();
  return true;
}

bool SceneReader::end_object() {
  FrameState &frame = top();
  if (frame.kind == Frame::extra)
    return endExtra();
  if (frame.kind == Frame::top) {
    frames_.pop_back();
    frames_.back().kind = Frame::done;
    return true;
  }
  // An object.
  const SceneObject &object = currentObject();
  if (object.type == SceneObjectType::null && !object.points.empty()) {
    return fail(SceneProblem::pointsOnNull, "an object of type \"null\" has no points; give it \"type\": \"polygon\"");
  }
  frames_.pop_back();
  return true;
}

bool SceneReader::start_array(std::size_t) {
  FrameState &frame = top();
  switch (frame.kind) {
    case Frame::extra:
      return beginExtra(Json::array());
    case Frame::top:
      if (extra_ != nullptr)
        return beginExtra(Json::array());
      {
        FrameState list{Frame::objectList};
        frames_.push_back(std::move(list));
      }
      return true;
    case Frame::object: {
      if (extra_ != nullptr)
        return beginExtra(Json::array());
      SceneObject &object = currentObject();
      FrameState next{Frame::vector};
      switch (*frame.field) {
        case SceneField::position:
          next.vector = &object.position;
          break;
        case SceneField::rotation:
          next.vector = &object.rotation;
          break;
        case SceneField::scale:
          next.vector = &object.scale;
          break;
        case SceneField::bboxCenter:
          object.bboxCenter.emplace();
          next.vector = &*object.bboxCenter;
          break;
        case SceneField::points:
          points_ = &object.points;
          next = FrameState(Frame::pointList);
          break;
        case SceneField::children:
          next = FrameState(Frame::objectList);
          next.parent = frame.object;
          break;
        default:
          return wrongField(*frame.field);
      }
      // Plain numbers are read here; anything else (the strings "NaN",
      // faults) is left to the library.
      if (canTakeOver()) {
        const char *p = cursor_.pos;
        if (next.kind == Frame::vector && scanVectorBody(p, cursor_.end, *next.vector)) {
          next.components = 3;
          cursor_.moveTo(p);
        } else if (next.kind == Frame::pointList && scanPointsBody(p, cursor_.end, object.points)) {
          cursor_.moveTo(p);
        }
      }
      frames_.push_back(std::move(next));
      return true;
    }
    case Frame::pointList: {
      ++frame.index;
      FrameState point(Frame::vector);
      point.point = true;
      frames_.push_back(std::move(point));
      return true;
    }
    case Frame::objectList:
      ++frame.index;
      return fail(SceneProblem::wrongType, "an object must be a JSON object {...}");
    case Frame::vector:
      if (frame.point)
        return fail(SceneProblem::badPoint, "a point must be three numbers [x, y, z]");
      frames_.pop_back();
      return failField("three numbers [x, y, z]");
    default:
      break;
  }
  return scalar(Json());
}

bool SceneReader::end_array() {
  FrameState &frame = top();
  switch (frame.kind) {
    case Frame::extra:
      return endExtra();
    case Frame::vector: {
      bool isPoint = frame.point;
      if (frame.components != 3) {
        if (isPoint)
          return fail(SceneProblem::badPoint, "a point must be three numbers [x, y, z]");
        frames_.pop_back();
        return failField("three numbers [x, y, z]");
      }
      frames_.pop_back();
      return isPoint ? true : endValue();
    }
    case Frame::objectList:
      if (frame.parent == kNoParent)
        objectsClosedAt_ = cursor_.pos;
      frames_.pop_back();
      return endValue();
    case Frame::pointList:
      frames_.pop_back();
      return endValue();
    default:
      break;
  }
  return fail(SceneProblem::malformedJson, "unexpected end of array");
}

bool SceneReader::parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &error) {
  if (result_.error)
    return false;
  // The place is counted here rather than taken from the library, which
  // does not see the arrays read by the reader itself. As the library does,
  // the column counts the character it stopped at, and the end of the text
  // as one more. A part of a text in segments counts from its current
  // segment: a fault there is reported by a reading of the whole text.
  const char *stop = cursor_.pos;
  size_t line = 1;
  const char *lineStart = cursor_.first;
  for (const char *p = cursor_.first; p + 1 < stop; ++p) {
    if (*p == '\n') {
      ++line;
      lineStart = p + 1;
    }
  }
  size_t column = static_cast<size_t>(stop - lineStart) + (stop == cursor_.end ? 1 : 0);
  std::string where = path();
  SceneError failure;
  failure.problem = SceneProblem::malformedJson;
  failure.path = where;
  failure.message = std::string(source_) + ": line " + std::to_string(line) + ", column " + std::to_string(column) +
                    (where.empty() ? std::string() : " (in " + where + ")") +
                    ": malformed JSON: " + libraryReason(error.what());
  result_.error = std::move(failure);
  return false;
}

struct TextRead {
  SceneRead read;
  const char *objectsClosedAt = nullptr;  // see SceneReader
};

// reserve: how many objects to make room for; the objects of every part
// end up in the first part's scene.
TextRead readText(TextCursor cursor, std::string_view source, size_t reserve) {
  TextRead part;
  SceneRead &result = part.read;
  try {
    result.scene.objects.reserve(reserve);
  } catch (const std::bad_alloc &) {
  }
  SceneReader reader(source, cursor, result);
  bool ok = Json::sax_parse(CursorIterator(&cursor, false), CursorIterator(&cursor, true), &reader);
  if (!ok && !result.error) {
    result.error = SceneError{SceneProblem::malformedJson, {}, std::string(source) + ": malformed JSON"};
  }
  part.objectsClosedAt = reader.objectsClosedAt();
  return part;
}

// Every object opens with a brace: the count is a close upper bound that
// spares growing a million objects step by step. A text of nothing but
// braces must not reserve beyond reason.
size_t objectsToReserve(size_t braces, size_t bytes) {
  return std::min(braces, bytes / 32);
}

// "objects[12].x" of a part whose objects follow others: "objects[40012].x".
std::string movedPath(const std::string &path, size_t topLevelBefore) {
  constexpr std::string_view kStart = "objects[";
  if (path.rfind(kStart, 0) != 0)
    return path;
  const size_t close = path.find(']');
  size_t index = 0;
  const char *digits = path.data() + kStart.size();
  if (close == std::string::npos || std::from_chars(digits, path.data() + close, index).ptr != path.data() + close)
    return path;
  return std::string(kStart) + std::to_string(index + topLevelBefore) + path.substr(close);
}

// The parts read apart, joined; none when the cuts were not all between two
// top-level objects, or any part has a fault, which a reading in one part
// then reports in its own words and places.
// partEnd: where each part but the last closed its objects array when all
// before its cut was whole top-level objects.
std::optional<SceneRead> joinParts(std::vector<TextRead> &parts, const char *partEnd) {
  for (size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].read.error)
      return std::nullopt;
    if (i + 1 < parts.size() && parts[i].objectsClosedAt != partEnd)
      return std::nullopt;
  }
  SceneRead joined = std::move(parts.front().read);
  for (const SceneExtra &late : parts.back().read.scene.extras) {
    for (const SceneExtra &early : joined.scene.extras) {
      if (early.key == late.key)
        return std::nullopt;  // given twice: reported by the reading in one part
    }
  }
  size_t total = 0;
  for (const TextRead &part : parts)
    total += part.read.scene.objects.size();
  joined.scene.objects.reserve(total);
  size_t topLevel = 0;
  for (const SceneObject &object : joined.scene.objects)
    topLevel += object.parent == kNoParent;
  for (size_t i = 1; i < parts.size(); ++i) {
    SceneRead &part = parts[i].read;
    const size_t base = joined.scene.objects.size();
    if (joined.unknownFields == 0 && part.unknownFields > 0)
      joined.firstUnknownField = movedPath(part.firstUnknownField, topLevel);
    joined.unknownFields += part.unknownFields;
    for (SceneObject &object : part.scene.objects) {
      if (object.parent == kNoParent) {
        ++topLevel;
      } else {
        object.parent += base;
      }
      joined.scene.objects.push_back(std::move(object));
    }
    std::vector<SceneObject>().swap(part.scene.objects);
  }
  for (SceneExtra &late : parts.back().read.scene.extras)
    joined.scene.extras.push_back(std::move(late));
  return joined;
}

// Below this, a part costs more to set up than it saves.
constexpr size_t kBytesPerPart = 16 << 20;

}  // namespace

SceneRead parseSceneInParts(std::string_view text, std::string_view source, size_t parts) {
  // Each part but the first reads as a scene of its own: the objects after
  // one cut up to the next, in an objects array of their own. The parts are
  // read where they lie in the text, between these.
  static constexpr std::string_view kPartStart = "{\"objects\": [";
  static constexpr std::string_view kPartEnd = "]}";
  const char *begin = text.data();
  const char *end = begin + text.size();
  std::vector<const char *> cuts;
  for (size_t i = 1; i < parts; ++i) {
    const char *from = begin + text.size() / parts * i;
    if (!cuts.empty() && from <= cuts.back())
      from = cuts.back() + 1;
    if (from < end) {
      if (const char *cut = objectCutAfter(from, end))
        cuts.push_back(cut);
    }
  }
  if (cuts.empty())
    return readText(TextCursor(text), source, objectsToReserve(countByte(text, '{'), text.size())).read;

  const size_t count = cuts.size() + 1;
  auto partText = [&](size_t i) {
    const char *from = i == 0 ? begin : cuts[i - 1] + 1;
    const char *to = i + 1 < count ? cuts[i] : end;
    return std::string_view(from, static_cast<size_t>(to - from));
  };
  // The first part holds the objects of all once joined: the braces are
  // counted first, each part on its own core.
  std::vector<size_t> braces(count);
  runParts(count, [&](size_t i) { braces[i] = countByte(partText(i), '{'); });
  size_t allBraces = 0;
  for (size_t partBraces : braces)
    allBraces += partBraces;

  std::vector<TextRead> reads(count);
  runParts(count, [&](size_t i) {
    const std::string_view part = partText(i);
    const TextCursor cursor{i > 0 ? kPartStart : std::string_view(), part,
                            i + 1 < count ? kPartEnd : std::string_view()};
    reads[i] = readText(cursor, source,
                        i == 0 ? objectsToReserve(allBraces, text.size()) : objectsToReserve(braces[i], part.size()));
  });
  if (std::optional<SceneRead> joined = joinParts(reads, kPartEnd.data() + 1))
    return std::move(*joined);
  return readText(TextCursor(text), source, objectsToReserve(allBraces, text.size())).read;
}

SceneRead parseScene(std::string_view text, std::string_view source) {
  return parseSceneInParts(text, source, std::min<size_t>(usableCores(), text.size() / kBytesPerPart + 1));
}

}  // namespace hostemu
