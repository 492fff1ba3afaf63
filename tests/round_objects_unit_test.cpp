// Rounding passes over a document: which objects are visited in which order,
// the undo group and redraw around them, and one undo taking it all back.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>

#include "bit_exact.h"
#include "core_binding.h"
#include "document.h"
#include "kernel.h"
#include "rounding.h"

namespace {

using bit_exact::SameBits;
using hostemu::ObjectKind;
using kwantel::RoundSettings;

class RoundObjectsTest : public ::testing::Test {
 protected:
  RoundObjectsTest() {
    auto document = std::make_unique<hostemu::Document>();
    document_ = document.get();
    host_.setActiveDocument(std::move(document));
    std::memset(&settings_, 0, sizeof settings_);
    kwantel::SetDefaults(settings_);
    kwantel::DeriveFactors(settings_);
  }

  HostObject &Add(HostObject *parent, const char *name) {
    HostObject &object = document_->addObject(parent, name, ObjectKind::pointObject);
    object.position = {0.4, 1.6, -2.5};
    object.rotation = {0.1, -0.2, 0.3};
    object.points = {{-1.6, -0.4, -1.0}, {1.6, 0.4, 1.0}};
    return object;
  }

  // R (P (C1 (G), C2), N), B
  void BuildTree() {
    HostObject &r = Add(nullptr, "R");
    HostObject &p = Add(&r, "P");
    HostObject &c1 = Add(&p, "C1");
    Add(&c1, "G");
    Add(&p, "C2");
    Add(&r, "N");
    Add(nullptr, "B");
  }

  void Select(const std::vector<std::string> &paths) {
    for (const std::string &path : paths) {
      HostObject *object = document_->find(path).object;
      ASSERT_NE(object, nullptr) << path;
      object->selected = true;
    }
  }

  void Pass(HostDocument *document) {
    host_.journal().setEnabled(true);
    kwantel::RoundObjectsInDocument(settings_, document);
    host_.journal().setEnabled(false);
  }

  std::vector<std::string> Visited() { return JournalFirstArguments(host_.journal(), "Bo.message"); }

  hostemu::Host host_;
  CoreBinding binding_{host_};
  hostemu::Document *document_ = nullptr;
  RoundSettings settings_;
};

struct WalkCase {
  const char *name;
  int32_t scope;
  std::vector<std::string> selected;
  std::vector<std::string> visited;
};

void PrintTo(const WalkCase &c, std::ostream *out) {
  *out << c.name;
}

class WalkTest : public RoundObjectsTest, public ::testing::WithParamInterface<WalkCase> {};

TEST_P(WalkTest, VisitsTheScopeOnceEachInTreeOrder) {
  const WalkCase &c = GetParam();
  BuildTree();
  Select(c.selected);
  settings_.scope = c.scope;
  Pass(document_);
  EXPECT_EQ(Visited(), c.visited);
}

using kwantel::ALL_OBJECTS;
using kwantel::SELECTED_AND_CHILDREN;
using kwantel::SELECTED_ONLY;

INSTANTIATE_TEST_SUITE_P(
    Scopes, WalkTest,
    ::testing::Values(
        WalkCase{"subtree_stays_inside", SELECTED_AND_CHILDREN, {"R/P"}, {"R/P", "R/P/C1", "R/P/C1/G", "R/P/C2"}},
        WalkCase{"only_the_selected", SELECTED_ONLY, {"R/P"}, {"R/P"}},
        // The host lists only P when its child C1 is selected too.
        WalkCase{
            "nested_selection_once", SELECTED_AND_CHILDREN, {"R/P", "R/P/C1"}, {"R/P", "R/P/C1", "R/P/C1/G", "R/P/C2"}},
        WalkCase{"nested_selection_alone", SELECTED_ONLY, {"R/P", "R/P/C1"}, {"R/P", "R/P/C1"}},
        WalkCase{"leaf_without_climbing", SELECTED_AND_CHILDREN, {"R/P/C1/G"}, {"R/P/C1/G"}},
        WalkCase{"last_child_not_its_uncle", SELECTED_AND_CHILDREN, {"R/P/C2"}, {"R/P/C2"}},
        WalkCase{"two_roots", SELECTED_AND_CHILDREN, {"R/N", "B"}, {"R/N", "B"}},
        WalkCase{"whole_document", ALL_OBJECTS, {"R/P"}, {"R", "R/P", "R/P/C1", "R/P/C1/G", "R/P/C2", "R/N", "B"}},
        WalkCase{"nothing_selected", SELECTED_AND_CHILDREN, {}, {}},
        WalkCase{"nothing_selected_only", SELECTED_ONLY, {}, {}}),
    [](const auto &info) { return std::string(info.param.name); });

struct FrameCase {
  const char *name;
  int32_t scope;
  bool withObjects;
  std::vector<std::string> frame;
};

void PrintTo(const FrameCase &c, std::ostream *out) {
  *out << c.name;
}

class FrameTest : public RoundObjectsTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FrameTest, OpensTheGroupRedrawsThenClosesItAndFreesTheArray) {
  const FrameCase &c = GetParam();
  if (c.withObjects) {
    BuildTree();
    Select({"R/P"});
  }
  settings_.scope = c.scope;
  Pass(document_);
  EXPECT_EQ(JournalServices(host_.journal(), {"At.create", "At.destroy", "Bd.startUndo", "Bd.endUndo", "Ge.postEvent",
                                              "Bd.getActiveObjects", "Bd.getFirstObject"}),
            c.frame);
  EXPECT_EQ(host_.events, std::vector<int32_t>{EVENT_FORCEREDRAW});
  EXPECT_FALSE(document_->undoGroupOpen());
  EXPECT_EQ(host_.kernel().liveObjectArrays(), 0u);
}

const std::vector<std::string> kWholeDocumentFrame = {"At.create",    "Bd.startUndo", "Bd.getFirstObject",
                                                      "Ge.postEvent", "Bd.endUndo",   "At.destroy"};
const std::vector<std::string> kSelectionFrame = {"At.create",    "Bd.startUndo", "Bd.getActiveObjects",
                                                  "Ge.postEvent", "Bd.endUndo",   "At.destroy"};

INSTANTIATE_TEST_SUITE_P(Paths, FrameTest,
                         ::testing::Values(FrameCase{"empty_document", ALL_OBJECTS, false, kWholeDocumentFrame},
                                           FrameCase{"whole_document", ALL_OBJECTS, true, kWholeDocumentFrame},
                                           FrameCase{"nothing_selected", SELECTED_AND_CHILDREN, false, kSelectionFrame},
                                           FrameCase{"selection", SELECTED_ONLY, true, kSelectionFrame}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(RoundObjectsTest, SelectionFlagsFollowTheScope) {
  BuildTree();
  for (const auto &[scope, flags] : {std::pair{SELECTED_AND_CHILDREN, GETACTIVEOBJECTFLAGS_NONE},
                                     std::pair{SELECTED_ONLY, GETACTIVEOBJECTFLAGS_CHILDREN}}) {
    host_.journal().clear();
    settings_.scope = scope;
    Pass(document_);
    for (const hostemu::JournalEntry &entry : host_.journal().entries()) {
      if (entry.service == "Bd.getActiveObjects") {
        EXPECT_EQ(entry.args[2], flags) << "scope " << scope;
      }
    }
  }
}

TEST_F(RoundObjectsTest, NoDocumentDoesNothing) {
  Pass(nullptr);
  EXPECT_TRUE(host_.journal().entries().empty());
  EXPECT_TRUE(host_.events.empty());
}

struct Snapshot {
  HostVector position, rotation, scale;
  std::vector<HostVector> points;
};

Snapshot Take(const HostObject &o) {
  return {o.position, o.rotation, o.scale, o.points};
}

::testing::AssertionResult Same(const Snapshot &a, const Snapshot &b) {
  if (!SameBits(a.position, b.position) || !SameBits(a.rotation, b.rotation) || !SameBits(a.scale, b.scale) ||
      a.points.size() != b.points.size()) {
    return ::testing::AssertionFailure() << "values differ";
  }
  for (size_t i = 0; i < a.points.size(); ++i) {
    if (!SameBits(a.points[i], b.points[i])) {
      return ::testing::AssertionFailure() << "point " << i << " differs";
    }
  }
  return ::testing::AssertionSuccess();
}

TEST_F(RoundObjectsTest, OneUndoTakesBackTheWholePassAndRedoBringsItBack) {
  BuildTree();
  settings_.scope = ALL_OBJECTS;
  std::vector<HostObject *> objects;
  for (HostObject *o = document_->firstObject(); o != nullptr; o = hostemu::Document::nextInTree(o)) {
    objects.push_back(o);
  }
  std::vector<Snapshot> before;
  for (const HostObject *o : objects) {
    before.push_back(Take(*o));
  }
  const size_t stepsBefore = document_->undoStepCount();

  Pass(document_);
  std::vector<Snapshot> after;
  for (const HostObject *o : objects) {
    after.push_back(Take(*o));
    EXPECT_FALSE(Same(after.back(), before[after.size() - 1])) << o->name;
  }
  EXPECT_EQ(document_->undoStepCount(), stepsBefore + 1);

  ASSERT_TRUE(document_->undo());
  for (size_t i = 0; i < objects.size(); ++i) {
    EXPECT_TRUE(Same(Take(*objects[i]), before[i])) << objects[i]->name;
  }
  ASSERT_TRUE(document_->redo());
  for (size_t i = 0; i < objects.size(); ++i) {
    EXPECT_TRUE(Same(Take(*objects[i]), after[i])) << objects[i]->name;
  }
}

TEST_F(RoundObjectsTest, DeepChainIsWalkedWithoutRecursion) {
  constexpr int kDepth = 100000;
  HostObject *parent = nullptr;
  HostObject *top = nullptr;
  for (int i = 0; i < kDepth; ++i) {
    parent = &document_->addObject(parent, "L", ObjectKind::nullObject);
    top = top != nullptr ? top : parent;
  }
  HostObject &after = document_->addObject(nullptr, "After", ObjectKind::nullObject);
  top->selected = true;
  settings_.roundScale = false;

  for (const int32_t scope : {SELECTED_AND_CHILDREN, ALL_OBJECTS}) {
    settings_.scope = scope;
    kwantel::RoundObjectsInDocument(settings_, document_);
  }
  EXPECT_EQ(parent->updateMessages, 2u);
  EXPECT_EQ(top->updateMessages, 2u);
  EXPECT_EQ(after.updateMessages, 1u) << "the subtree walk stays below the selected object";
}

}  // namespace
