// Scene files are written by hand rather than through a JSON document: a
// scene of millions of points is formatted straight from the flat scene, one
// object or point a line, so that a diff of two scenes reads well.
//
// Number formatting is most of the work of writing a large scene, and it
// needs nothing but the scene, so a large scene is formatted in pieces on
// all cores: runs of top-level objects, and runs of a large object's points.
#include "scene_file.h"

#include "file_replace.h"
#include "number_text.h"
#include "parallel.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>

namespace hostemu {
namespace {

// Deep hierarchies would otherwise grow the file with the square of the depth.
constexpr size_t kMaxIndentLevels = 32;

void appendIndent(std::string &out, size_t levels) {
  out.append(2 * std::min(levels, kMaxIndentLevels), ' ');
}

// A piece of work: below this many objects and points, a piece costs more
// to hand to another thread than to format here. Small enough that writing
// starts early and a few pieces in flight hold little memory.
constexpr size_t kPieceWeight = 1 << 14;

// The text as pieces in file order. Text goes to the last piece; a piece that
// is formatted later, on any thread, is reserved by a job.
struct SceneText {
  std::vector<std::string> pieces{1};
  std::vector<std::function<void(std::string &)>> jobs;
  std::vector<size_t> jobPieces;  // the piece each job fills
  bool mayDefer = true;           // false inside a job: it formats all of its piece itself

  std::string &out() { return pieces.back(); }

  void defer(std::function<void(std::string &)> job) {
    pieces.emplace_back();
    jobs.push_back(std::move(job));
    jobPieces.push_back(pieces.size() - 1);
    pieces.emplace_back();
  }

  // Hands the pieces to write in order while the jobs run on all cores, a
  // few pieces ahead of the writing. A written piece's memory goes to the
  // next job, so that a large scene is formatted in the same few buffers
  // rather than in fresh memory for the whole file.
  void emit(const ContentWriter &write);
};

void SceneText::emit(const ContentWriter &write) {
  const size_t workers = jobs.empty() ? 0 : std::min(usableCores(), jobs.size());
  const size_t ahead = 4 * workers;
  std::mutex mutex;
  std::condition_variable changed;
  size_t nextJob = 0;
  size_t jobsWritten = 0;
  bool stop = false;
  std::vector<char> done(jobs.size(), 0);
  std::vector<std::string> spare;

  auto work = [&] {
    std::unique_lock lock(mutex);
    for (;;) {
      changed.wait(lock, [&] { return stop || nextJob == jobs.size() || nextJob < jobsWritten + ahead; });
      if (stop || nextJob == jobs.size())
        return;
      const size_t job = nextJob++;
      std::string buffer;
      if (!spare.empty()) {
        buffer = std::move(spare.back());
        spare.pop_back();
      }
      lock.unlock();
      buffer.clear();
      jobs[job](buffer);
      lock.lock();
      pieces[jobPieces[job]] = std::move(buffer);
      done[job] = 1;
      changed.notify_all();
    }
  };
  auto writeInOrder = [&] {
    size_t job = 0;
    for (size_t piece = 0; piece < pieces.size(); ++piece) {
      const bool deferred = job < jobs.size() && jobPieces[job] == piece;
      if (deferred) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return done[job] != 0; });
      }
      const bool written = write(pieces[piece]);
      std::unique_lock lock(mutex);
      if (deferred) {
        spare.push_back(std::move(pieces[piece]));
        jobsWritten = ++job;
      } else {
        std::string().swap(pieces[piece]);
      }
      if (!written)
        stop = true;
      changed.notify_all();
      if (stop)
        return;
    }
  };
  runParts(1 + workers, [&](size_t part) { part == 0 ? writeInOrder() : work(); });
  jobs.clear();
}

void appendString(std::string &out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  // Most names and every key need no escapes.
  if (std::all_of(text.begin(), text.end(),
                  [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c != '"' && c != '\\'; })) {
    out += text;
    out += '"';
    return;
  }
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
constexpr size_t kNumberText = kShortestTextRoom + 2;  // and a ".0"
constexpr size_t kVectorText = 3 * kNumberText + 8;

char *writeNumber(char *out, double value) {
  if (std::isnan(value))
    return std::copy_n("\"NaN\"", 5, out);
  if (std::isinf(value))
    return value > 0 ? std::copy_n("\"Infinity\"", 10, out) : std::copy_n("\"-Infinity\"", 11, out);
  char *end = writeShortest(out, value);
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

// Points [begin, end) of an object, each on its own line.
void appendPointLines(std::string &out, const SceneObject &object, size_t levels, size_t begin, size_t end) {
  const size_t indent = 2 * std::min(levels + 1, kMaxIndentLevels);
  char line[2 + 2 * kMaxIndentLevels + kVectorText];
  out.reserve(out.size() + (end - begin) * (indent + 40));
  for (size_t i = begin; i < end; ++i) {
    char *next = line;
    if (i > 0)
      *next++ = ',';
    *next++ = '\n';
    next = std::fill_n(next, indent, ' ');
    out.append(line, writeVector(next, object.points[i]));
  }
}

void appendPoints(SceneText &text, const SceneObject &object, size_t levels) {
  text.out() += '[';
  const size_t count = object.points.size();
  for (size_t begin = 0; begin < count; begin += kPieceWeight) {
    const size_t end = std::min(count, begin + kPieceWeight);
    if (count <= kPieceWeight || !text.mayDefer) {
      appendPointLines(text.out(), object, levels, begin, end);
    } else {
      text.defer(
          [&object, levels, begin, end](std::string &out) { appendPointLines(out, object, levels, begin, end); });
    }
  }
  if (count > 0) {
    text.out() += '\n';
    appendIndent(text.out(), levels);
  }
  text.out() += ']';
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

void appendField(SceneText &text, const SceneObject &object, SceneField field, size_t levels) {
  // Points may start new pieces, after which out would be another piece.
  if (field == SceneField::points) {
    appendPoints(text, object, levels);
    return;
  }
  std::string &out = text.out();
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
      break;  // above
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
void appendSubtree(SceneText &text, const Scene &scene, size_t &next, size_t baseLevels) {
  std::vector<OpenObject> open;
  open.push_back(OpenObject{next++, {}});
  text.out() += '{';
  while (!open.empty()) {
    OpenObject &current = open.back();
    size_t levels = baseLevels + open.size() - 1;
    if (current.inChildren) {
      if (next < scene.objects.size() && scene.objects[next].parent == current.index) {
        text.out() += current.firstChild ? "\n" : ",\n";
        current.firstChild = false;
        appendIndent(text.out(), levels + 1);
        text.out() += '{';
        open.push_back(OpenObject{next++, {}});
      } else {
        if (!current.firstChild) {
          text.out() += '\n';
          appendIndent(text.out(), levels);
        }
        text.out() += ']';
        current.inChildren = false;
      }
      continue;
    }
    FieldCursor::Item item = current.cursor.next(scene, current.index);
    if (item.kind == FieldCursor::Kind::end) {
      text.out() += '}';
      open.pop_back();
      continue;
    }
    if (!current.firstField)
      text.out() += ", ";
    current.firstField = false;
    if (item.kind == FieldCursor::Kind::extra) {
      appendString(text.out(), item.extra->key);
      text.out() += ": ";
      text.out() += item.extra->value.dump();
      continue;
    }
    appendString(text.out(), sceneFieldKey(item.field));
    text.out() += ": ";
    if (item.field == SceneField::children) {
      text.out() += '[';
      current.inChildren = true;
    } else {
      appendField(text, scene.objects[current.index], item.field, levels);
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

namespace {

size_t weightOf(const SceneObject &object) {
  return 1 + object.points.size();
}

// Top-level objects [first, end), each after its separator.
void appendTopLevelRun(SceneText &text, const Scene &scene, size_t first, size_t end) {
  for (size_t next = first; next < end;) {
    text.out() += next == 0 ? "\n    " : ",\n    ";
    appendSubtree(text, scene, next, 2);
  }
}

// The objects array's elements: runs of whole top-level objects of about a
// piece's weight, each formatted as a job; an object with more points than
// that is formatted here, its points in jobs.
void appendObjects(SceneText &text, const Scene &scene) {
  const size_t count = scene.objects.size();
  size_t next = 0;
  while (next < count) {
    size_t end = next;
    size_t weight = 0;
    bool large = false;
    while (end < count && weight < kPieceWeight && !large) {
      size_t stop = end;
      size_t subtree = 0;
      do {
        large = large || scene.objects[stop].points.size() > kPieceWeight;
        subtree += weightOf(scene.objects[stop++]);
      } while (stop < count && scene.objects[stop].parent != kNoParent);
      if (large && end > next) {
        large = false;  // the large one starts the next run
        break;
      }
      weight += subtree;
      end = stop;
    }
    if (large || weight < kPieceWeight) {
      appendTopLevelRun(text, scene, next, end);
    } else {
      text.defer([&scene, next, end, weight](std::string &out) {
        SceneText piece;
        piece.mayDefer = false;
        piece.out() = std::move(out);
        piece.out().reserve(160 * weight);
        appendTopLevelRun(piece, scene, next, end);
        out = std::move(piece.out());
      });
    }
    next = end;
  }
}

}  // namespace

void formatScene(const Scene &scene, const ContentWriter &write) {
  SceneText text;
  text.out() += '{';
  bool first = true;
  size_t extra = 0;
  for (; extra < scene.extras.size() && scene.extras[extra].afterFields == 0; ++extra) {
    appendExtra(text.out(), scene.extras[extra], first);
  }
  text.out() += first ? "\n  \"objects\": [" : ",\n  \"objects\": [";
  first = false;
  appendObjects(text, scene);
  text.out() += scene.objects.empty() ? "]" : "\n  ]";
  for (; extra < scene.extras.size(); ++extra)
    appendExtra(text.out(), scene.extras[extra], first);
  text.out() += "\n}\n";
  text.emit(write);
}

std::string formatScene(const Scene &scene) {
  std::string out;
  formatScene(scene, [&out](std::string_view piece) {
    out += piece;
    return true;
  });
  return out;
}

std::string writeSceneFile(const std::filesystem::path &file, const Scene &scene) {
  return replaceFile(file, [&scene](const ContentWriter &write) { formatScene(scene, write); });
}

}  // namespace hostemu
