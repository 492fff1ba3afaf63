// Documents: an object tree with a selection and an undo history.
//
// A document may hold a million objects, or one object with ten million
// points, so an object carries its values and nothing else: one heap block
// for the object, one for its points, its name. Every walk over the tree is
// iterative; a chain of objects any number of levels deep costs no stack.
#pragma once

#include "block_list.h"
#include "host_types.h"
#include "path_cache.h"
#include "point_copy.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hostemu {

class Document;

enum class ObjectKind : uint8_t {
  nullObject,   // no points; answers isInstanceOf(NULL_OBJECT_TYPE)
  pointObject,  // a polygon object: points; answers POINT_OBJECT_TYPE and POLYGON_OBJECT_TYPE
};

// Host type ids of the two kinds besides POINT_OBJECT_TYPE.
inline constexpr int32_t NULL_OBJECT_TYPE = 5140;
inline constexpr int32_t POLYGON_OBJECT_TYPE = 5100;

}  // namespace hostemu

// The host's side of a document; the emulator's Document derives from it.
struct HostDocument {};

struct HostObject {
  explicit HostObject(std::string objectName) : name(std::move(objectName)) {}

  // Given when the object is added: the host offers no renaming, and the
  // paths the journal keeps rely on that.
  const std::string name;
  hostemu::ObjectKind kind = hostemu::ObjectKind::nullObject;
  bool selected = false;
  bool pointsLocked = false;  // the host does not hand the points out; their count still answers
  HostVector position{0.0, 0.0, 0.0};
  HostVector rotation{0.0, 0.0, 0.0};  // radians
  HostVector scale{1.0, 1.0, 1.0};
  std::optional<HostVector> centerOverride;  // replaces the centre of the points' box
  std::vector<HostVector> points;
  uint64_t updateMessages = 0;  // MSG_UPDATE_CODE received

  bool isPointObject() const { return kind == hostemu::ObjectKind::pointObject; }
  bool isInstanceOf(int32_t type) const;
  // The override when set, else the centre of the points' axis-aligned box,
  // (0, 0, 0) without points.
  HostVector boundingBoxCenter() const;

  hostemu::Document *document() const { return document_; }
  HostObject *parent() const { return parent_; }
  HostObject *firstChild() const { return firstChild_; }
  HostObject *lastChild() const { return lastChild_; }
  HostObject *next() const { return next_; }
  HostObject *previous() const { return previous_; }

 private:
  friend class hostemu::Document;
  hostemu::Document *document_ = nullptr;
  HostObject *parent_ = nullptr;
  HostObject *firstChild_ = nullptr;
  HostObject *lastChild_ = nullptr;
  HostObject *next_ = nullptr;
  HostObject *previous_ = nullptr;
  uint64_t undoGroup_ = 0;  // the last undo group that captured this object
};

namespace hostemu {

struct PathLookup {
  HostObject *object = nullptr;  // set when exactly one object matches
  size_t matches = 0;
};

class Document : public HostDocument {
 public:
  Document() = default;
  ~Document();
  Document(const Document &) = delete;
  Document &operator=(const Document &) = delete;

  static Document *fromHost(HostDocument *document) { return static_cast<Document *>(document); }
  static const Document *fromHost(const HostDocument *document) { return static_cast<const Document *>(document); }

  std::string name = "Untitled";  // names the document in the journal

  // Building. The new object goes last among parent's children (top level
  // when parent is null); parent must belong to this document.
  HostObject &addObject(HostObject *parent, std::string name, ObjectKind kind);

  HostObject *firstObject() const { return first_; }
  size_t objectCount() const { return count_; }

  // Depth-first, an object before its children: the object after o in the
  // whole tree, and within the subtree of root (root included).
  static HostObject *nextInTree(const HostObject *o);
  static HostObject *nextInSubtree(const HostObject *o, const HostObject *root);
  // The object after o's subtree in tree order.
  static HostObject *nextAfterSubtree(const HostObject *o);

  // "A/B/C" from the top level; a bare name is looked for in the whole
  // tree. Found only when exactly one object matches.
  PathLookup find(std::string_view path) const;
  // An object's path: the names from the top level joined by "/", a name
  // that some sibling shares followed by "[k]" (its place among them, from
  // 0). Worked out on each call, for messages that name an object now and then.
  static std::string pathOf(const HostObject *object);
  // The same path made valid UTF-8, as the journal names objects in nearly
  // every service call: kept, and valid until an object is added.
  static const std::string &journalPathOf(const HostObject *object);

  // Selection.
  void clearSelection();
  // Selected objects in tree order; with GETACTIVEOBJECTFLAGS_NONE an object
  // below another selected object is left out, with CHILDREN it is listed.
  void activeObjects(std::vector<HostObject *> &out, int32_t flags) const;

  // Undo. startUndo/endUndo nest; the outermost pair is one step. addUndo
  // outside a group records a step of its own, so nothing the module changes
  // is beyond undo. Only UNDOTYPE_CHANGE is known; false for anything else.
  bool startUndo();
  bool endUndo();
  bool addUndo(int32_t type, HostObject *object);
  bool undoGroupOpen() const { return undoDepth_ > 0; }
  // Refused (false) while a group is open or there is no step.
  bool undo();
  bool redo();
  bool canUndo() const { return !undoGroupOpen() && !undoSteps_.empty(); }
  bool canRedo() const { return !undoGroupOpen() && !redoSteps_.empty(); }
  size_t undoStepCount() const { return undoSteps_.size(); }
  size_t redoStepCount() const { return redoSteps_.size(); }
  // How many point arrays undo records have copied so far.
  uint64_t pointArrayCopies() const { return pointArrayCopies_; }

 private:
  // An undo step keeps each object's values from before the step, and the
  // points of the objects that have them apart: most objects have none, and
  // a step over a million objects should hold no more than their values.
  struct ValueChange {
    HostObject *object;
    HostVector position;
    HostVector rotation;
    HostVector scale;
  };
  struct PointsChange {
    HostObject *object;
    SavedPoints points;
  };
  struct Step {
    BlockList<ValueChange> values;
    std::vector<PointsChange> points;
    bool empty() const { return values.empty(); }
  };

  void capture(HostObject *object);
  static void exchange(Step &step);

  HostObject *first_ = nullptr;
  HostObject *last_ = nullptr;
  size_t count_ = 0;
  PathCache journalPaths_;

  int undoDepth_ = 0;
  uint64_t undoGroup_ = 0;  // serial of the open group; objects remember the last that captured them
  Step openStep_;
  std::vector<Step> undoSteps_;
  std::vector<Step> redoSteps_;
  uint64_t pointArrayCopies_ = 0;
};

}  // namespace hostemu
