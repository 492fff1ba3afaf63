#include "document.h"

#include "host_constants.h"

#include <limits>
#include <stdexcept>
#include <utility>

bool HostObject::isInstanceOf(int32_t type) const {
  if (kind == hostemu::ObjectKind::pointObject)
    return type == POINT_OBJECT_TYPE || type == hostemu::POLYGON_OBJECT_TYPE;
  return type == hostemu::NULL_OBJECT_TYPE;
}

HostVector HostObject::boundingBoxCenter() const {
  if (centerOverride)
    return *centerOverride;
  if (points.empty())
    return HostVector{0.0, 0.0, 0.0};
  constexpr double infinity = std::numeric_limits<double>::infinity();
  HostVector low{infinity, infinity, infinity};
  HostVector high{-infinity, -infinity, -infinity};
  // Comparisons skip NaN coordinates; an axis of NaN alone gives a NaN centre.
  // The points are asked for some kilobytes ahead: on its own the hardware
  // keeps too little of a large array in flight to walk it at memory speed.
  constexpr size_t kAhead = 340;
  const size_t count = points.size();
  for (size_t i = 0; i < count; ++i) {
    if ((i & 1) == 0 && i + kAhead < count)
      __builtin_prefetch(&points[i + kAhead]);
    const HostVector &p = points[i];
    if (p.x < low.x)
      low.x = p.x;
    if (p.y < low.y)
      low.y = p.y;
    if (p.z < low.z)
      low.z = p.z;
    if (p.x > high.x)
      high.x = p.x;
    if (p.y > high.y)
      high.y = p.y;
    if (p.z > high.z)
      high.z = p.z;
  }
  // Halves first: the sum of two large coordinates would overflow.
  return HostVector{low.x * 0.5 + high.x * 0.5, low.y * 0.5 + high.y * 0.5, low.z * 0.5 + high.z * 0.5};
}

namespace hostemu {

Document::~Document() {
  // Leaves first, without recursion: go down to a first child that has no
  // children, delete it, go on with its next sibling or back to its parent.
  HostObject *o = first_;
  while (o != nullptr) {
    if (o->firstChild_ != nullptr) {
      o = o->firstChild_;
      continue;
    }
    HostObject *after = o->next_ != nullptr ? o->next_ : o->parent_;
    if (o->parent_ != nullptr)
      o->parent_->firstChild_ = o->next_;
    delete o;
    o = after;
  }
}

HostObject &Document::addObject(HostObject *parent, std::string name, ObjectKind kind) {
  if (parent != nullptr && parent->document_ != this) {
    throw std::invalid_argument("the parent object belongs to another document");
  }
  auto *object = new HostObject(std::move(name));
  object->kind = kind;
  object->document_ = this;
  object->parent_ = parent;
  HostObject *&first = parent ? parent->firstChild_ : first_;
  HostObject *&last = parent ? parent->lastChild_ : last_;
  object->previous_ = last;
  if (last != nullptr) {
    last->next_ = object;
  } else {
    first = object;
  }
  last = object;
  ++count_;
  // A new name may now be shared with a sibling, which adds a place to both paths.
  journalPaths_.clear();
  return *object;
}

HostObject *Document::nextInTree(const HostObject *o) {
  if (o->firstChild_ != nullptr)
    return o->firstChild_;
  return nextAfterSubtree(o);
}

HostObject *Document::nextAfterSubtree(const HostObject *o) {
  while (o->next_ == nullptr && o->parent_ != nullptr)
    o = o->parent_;
  return o->next_;
}

HostObject *Document::nextInSubtree(const HostObject *o, const HostObject *root) {
  if (o->firstChild_ != nullptr)
    return o->firstChild_;
  while (o->next_ == nullptr && o->parent_ != nullptr) {
    if (o == root)
      return nullptr;
    o = o->parent_;
  }
  return o == root ? nullptr : o->next_;
}

PathLookup Document::find(std::string_view path) const {
  PathLookup result;
  auto note = [&result](HostObject *match) {
    if (++result.matches == 1)
      result.object = match;
  };
  if (path.find('/') == std::string_view::npos) {
    for (HostObject *o = first_; o != nullptr; o = nextInTree(o)) {
      if (o->name == path)
        note(o);
    }
  } else {
    // Level by level: the objects that match the components read so far.
    std::vector<HostObject *> level;
    std::vector<HostObject *> below;
    size_t start = 0;
    bool top = true;
    while (start <= path.size()) {
      size_t end = path.find('/', start);
      if (end == std::string_view::npos)
        end = path.size();
      std::string_view component = path.substr(start, end - start);
      below.clear();
      if (top) {
        for (HostObject *o = first_; o != nullptr; o = o->next_) {
          if (o->name == component)
            below.push_back(o);
        }
      } else {
        for (HostObject *parent : level) {
          for (HostObject *o = parent->firstChild_; o != nullptr; o = o->next_) {
            if (o->name == component)
              below.push_back(o);
          }
        }
      }
      level.swap(below);
      top = false;
      start = end + 1;
    }
    for (HostObject *o : level)
      note(o);
  }
  if (result.matches != 1)
    result.object = nullptr;
  return result;
}

std::string Document::pathOf(const HostObject *object) {
  std::vector<std::string> components;
  for (const HostObject *o = object; o != nullptr; o = o->parent_) {
    const HostObject *sibling = o->parent_ ? o->parent_->firstChild_ : o->document_->first_;
    size_t before = 0;
    size_t same = 0;
    for (; sibling != nullptr; sibling = sibling->next_) {
      if (sibling->name != o->name)
        continue;
      if (sibling == o)
        before = same;
      ++same;
    }
    components.push_back(same > 1 ? o->name + "[" + std::to_string(before) + "]" : o->name);
  }
  std::string path;
  for (auto it = components.rbegin(); it != components.rend(); ++it) {
    if (!path.empty())
      path += '/';
    path += *it;
  }
  return path;
}

const std::string &Document::journalPathOf(const HostObject *object) {
  return object->document_->journalPaths_.pathOf(object, object->document_->first_);
}

void Document::clearSelection() {
  for (HostObject *o = first_; o != nullptr; o = nextInTree(o))
    o->selected = false;
}

void Document::activeObjects(std::vector<HostObject *> &out, int32_t flags) const {
  out.clear();
  const bool everySelected = (flags & GETACTIVEOBJECTFLAGS_CHILDREN) != 0;
  HostObject *o = first_;
  while (o != nullptr) {
    if (o->selected) {
      out.push_back(o);
      // Nothing below a listed object is listed without CHILDREN.
      if (!everySelected) {
        o = nextAfterSubtree(o);
        continue;
      }
    }
    o = nextInTree(o);
  }
}

bool Document::startUndo() {
  if (undoDepth_++ == 0) {
    ++undoGroup_;
    openStep_ = Step();
  }
  return true;
}

bool Document::endUndo() {
  if (undoDepth_ == 0)
    return false;
  if (--undoDepth_ == 0 && !openStep_.empty()) {
    undoSteps_.push_back(std::move(openStep_));
    openStep_ = Step();
  }
  return true;
}

bool Document::addUndo(int32_t type, HostObject *object) {
  if (type != UNDOTYPE_CHANGE || object == nullptr || object->document_ != this)
    return false;
  if (undoGroupOpen()) {
    capture(object);
    return true;
  }
  startUndo();
  capture(object);
  endUndo();
  return true;
}

void Document::capture(HostObject *object) {
  // The first record of an object in a group holds its state from before the
  // group's changes; later records of the same object add nothing to undo.
  if (object->undoGroup_ == undoGroup_)
    return;
  object->undoGroup_ = undoGroup_;
  redoSteps_.clear();  // a new change makes the undone steps unreachable
  openStep_.values.push_back(ValueChange{object, object->position, object->rotation, object->scale});
  // A null object never has points: the host hands out none to change.
  if (object->isPointObject() || !object->points.empty())
    openStep_.points.push_back(PointsChange{object, SavedPoints(object->points)});
  if (!object->points.empty())
    ++pointArrayCopies_;
}

void Document::exchange(Step &step) {
  // Swapping puts the saved state into the object and the object's current
  // state into the step, so that the same step takes the change back again.
  step.values.forEach([](ValueChange &change) {
    HostObject &o = *change.object;
    std::swap(o.position, change.position);
    std::swap(o.rotation, change.rotation);
    std::swap(o.scale, change.scale);
  });
  for (PointsChange &change : step.points)
    change.points.exchange(change.object->points);
}

bool Document::undo() {
  if (!canUndo())
    return false;
  Step step = std::move(undoSteps_.back());
  undoSteps_.pop_back();
  exchange(step);
  redoSteps_.push_back(std::move(step));
  return true;
}

bool Document::redo() {
  if (!canRedo())
    return false;
  Step step = std::move(redoSteps_.back());
  redoSteps_.pop_back();
  exchange(step);
  undoSteps_.push_back(std::move(step));
  return true;
}

}  // namespace hostemu
