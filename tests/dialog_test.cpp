// Dialogs: a window opened at most once and built from the layout calls, the
// gadgets' values as a real window keeps them, and the user's actions with
// their refusals. A small dialog written against the Gd table stands in for a
// module's dialog.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "bit_exact.h"
#include "container.h"
#include "dialogs.h"
#include "host.h"
#include "journal.h"
#include "kernel.h"
#include "tables.h"

namespace {

using hostemu::ActionError;
using hostemu::Host;

constexpr int32_t kLength = hostemu::formatCode("fmet");
constexpr int32_t kAngle = hostemu::formatCode("fdgr");
constexpr double kDegree = 0.017453292519943295;

// A host string for the length of one call.
class Text {
 public:
  explicit Text(const char *text) : string_(hostemu::makeString(text)) {}
  ~Text() { Host::current().kernel().release(string_); }
  operator const HostString *() const { return string_; }

 private:
  HostString *string_;
};

// Gadgets: a checkbox, a length and an angle field, a combo box, a button in
// a group that can be disabled, and a menu with one item.
class TestDialog {
 public:
  TestDialog() : dialog(gd.create(this, &TestDialog::Hook)) {}
  ~TestDialog() {
    if (dialog != nullptr)
      gd.destroy(dialog);
  }

  static int32_t Hook(void *self, const HostContainer *message, HostContainer *) {
    auto &me = *static_cast<TestDialog *>(self);
    const int32_t id = hostemu::containerTable()->getInt32(message, DIALOG_KEY_ID, 0);
    me.messages.emplace_back(message->id, id);
    switch (message->id) {
      case DIALOG_MSG_LAYOUT:
        return me.Layout() ? 1 : 0;
      case DIALOG_MSG_INIT:
        return me.Init() ? 1 : 0;
      case DIALOG_MSG_ASK_CLOSE:
        return me.askCloseAnswer;
      case DIALOG_MSG_COMMAND:
        if (me.destroyOnCommand) {
          me.gd.destroy(me.dialog);
          me.dialog = nullptr;
        }
        return 1;
      default:
        return 0;
    }
  }

  bool Layout() {
    HostDialog *d = dialog;
    gd.setTitle(d, Text("Test"));
    gd.menuFlushAll(d);
    gd.menuSubBegin(d, Text("Help"));
    gd.menuAddString(d, 5001, Text("About..."));
    gd.menuSubEnd(d);
    gd.menuFinished(d);
    gd.groupBegin(d, 5006, 57, 2, 0, Text("Options"), 0, 0, 0);
    gd.addCheckbox(d, 1100, 9, 200, 0, Text("Round Position"));
    gd.addStaticText(d, 5006, 57, 200, 0, Text(""), 0);
    gd.addEditNumberArrows(d, 1101, 57, 0, 0);
    gd.addEditNumberArrows(d, 1104, 57, 0, 0);
    gd.addComboBox(d, 1102, 57, 0, 0, false, false);
    for (int32_t value = 0; value < 3; ++value)
      gd.addChild(d, 1102, value, Text("Mode"));
    gd.groupEnd(d);
    gd.groupBegin(d, 2000, 0, 2, 0, Text(""), 0, 0, 0);
    gd.addButton(d, 1001, 0, 100, 0, Text("Round"), 0);
    gd.groupEnd(d);
    return layoutAnswer;
  }

  bool Init() {
    gd.setBool(dialog, 1100, true);
    gd.setFloat(dialog, 1101, 1.0, 0.0001, 1000, 0.1, kLength, 0, 0, false);
    gd.setFloat(dialog, 1104, kDegree, 0.0001 * kDegree, 1000 * kDegree, 0.1 * kDegree, kAngle, 0, 0, false);
    gd.setInt32(dialog, 1102, 0, -2147483647 - 1, 2147483647, 1);
    return true;
  }

  std::vector<int32_t> Commands() const {
    std::vector<int32_t> ids;
    for (auto [message, id] : messages) {
      if (message == DIALOG_MSG_COMMAND)
        ids.push_back(id);
    }
    return ids;
  }

  const HostDialogTable &gd = *hostemu::dialogTable();
  HostDialog *dialog;
  std::vector<std::pair<int32_t, int32_t>> messages;  // message, gadget id
  bool layoutAnswer = true;
  int32_t askCloseAnswer = 0;
  bool destroyOnCommand = false;
};

class DialogTest : public ::testing::Test {
 protected:
  bool Open() { return form.gd.open(form.dialog, DLG_TYPE_ASYNC, 1061771, -1, -1, 0, 0, 0, 0); }

  // The gadget's entry in describe(); null when the window has none.
  nlohmann::json Gadget(int32_t id) {
    std::vector<nlohmann::json> gadgets;
    host.dialogs().describe(gadgets);
    for (const nlohmann::json &gadget : gadgets) {
      if (gadget["id"] == id)
        return gadget;
    }
    return nullptr;
  }

  double Number(int32_t id) {
    double value = -1;
    EXPECT_TRUE(form.gd.getFloat(form.dialog, id, &value));
    return value;
  }

  Host host;
  TestDialog form;
};

TEST_F(DialogTest, OpeningBuildsTheWindowOnceAndReopeningRebuildsIt) {
  EXPECT_FALSE(form.gd.isOpen(form.dialog));
  ASSERT_TRUE(Open());
  EXPECT_TRUE(Open());
  EXPECT_EQ(form.messages, (std::vector<std::pair<int32_t, int32_t>>{{DIALOG_MSG_LAYOUT, 0}, {DIALOG_MSG_INIT, 0}}));
  EXPECT_EQ(form.dialog->builds, 1u);
  EXPECT_EQ(form.dialog->title, "Test");

  ASSERT_TRUE(host.dialogs().close().ok());
  EXPECT_FALSE(form.gd.isOpen(form.dialog));
  ASSERT_TRUE(Open());
  std::vector<nlohmann::json> gadgets;
  ASSERT_TRUE(host.dialogs().describe(gadgets).ok());
  EXPECT_EQ(gadgets.size(), 8u) << "two groups and six gadgets, none twice";
  EXPECT_EQ(host.dialogs().describeMenu()[0]["entries"][0]["id"], 5001);
}

TEST_F(DialogTest, TheJournalRecordsEachCallWithItsArguments) {
  host.journal().setEnabled(true);
  ASSERT_TRUE(Open());
  nlohmann::json checkbox, angle;
  for (const hostemu::JournalEntry &entry : host.journal().entries()) {
    ASSERT_TRUE(entry.args.is_array()) << entry.service << " " << entry.args;
    if (entry.service == "Gd.addCheckbox")
      checkbox = entry.args;
    if (entry.service == "Gd.setFloat" && entry.args[0] == 1104)
      angle = entry.args;
  }
  EXPECT_EQ(checkbox, nlohmann::json::parse(R"([1100, 9, 200, 0, "Round Position"])"));
  EXPECT_EQ(angle[5], "fdgr");
}

TEST_F(DialogTest, AWindowTheDialogWillNotBuildStaysClosed) {
  form.layoutAnswer = false;
  EXPECT_FALSE(Open());
  EXPECT_FALSE(form.gd.isOpen(form.dialog));
  EXPECT_EQ(host.dialogs().set(1100, 0.0).error, ActionError::noWindow);
}

TEST_F(DialogTest, DescribeShowsEachGadgetAsTheWindowHoldsIt) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(Gadget(1100),
            nlohmann::json::parse(
                R"({"id": 1100, "kind": "checkbox", "text": "Round Position", "value": 1, "enabled": true})"));
  const nlohmann::json angle = Gadget(1104);
  EXPECT_EQ(angle["kind"], "number field");
  EXPECT_EQ(angle["format"], "fdgr");
  EXPECT_TRUE(bit_exact::SameBits(angle["value"].get<double>(), kDegree));
  EXPECT_TRUE(bit_exact::SameBits(angle["max"].get<double>(), 1000 * kDegree));
  EXPECT_EQ(Gadget(1102)["children"].size(), 3u);
}

TEST_F(DialogTest, TheModulesValuesAreKeptWithinTheFieldsLimits) {
  ASSERT_TRUE(Open());
  form.gd.setFloat(form.dialog, 1101, 0.0, 0.0001, 1000, 0.1, kLength, 0, 0, false);
  EXPECT_TRUE(bit_exact::SameBits(Number(1101), 0.0001));
  form.gd.setFloat(form.dialog, 1101, 1e9, 0.0001, 1000, 0.1, kLength, 0, 0, false);
  EXPECT_TRUE(bit_exact::SameBits(Number(1101), 1000));
  EXPECT_FALSE(form.gd.setFloat(form.dialog, 1100, 1, 0, 1, 1, kLength, 0, 0, false)) << "a checkbox";
  EXPECT_FALSE(form.gd.setBool(form.dialog, 4711, true)) << "no such gadget";
}

struct SetCase {
  const char *name;
  int32_t id;
  const char *typed;
  ActionError error;
  double expected;  // the gadget's value afterwards, as describe() shows it
};

class UserSetTest : public DialogTest, public ::testing::WithParamInterface<SetCase> {};

TEST_P(UserSetTest, ChangesTheGadgetThenSendsItsCommandOrRefuses) {
  const SetCase &c = GetParam();
  ASSERT_TRUE(Open());
  const nlohmann::json before = Gadget(c.id);
  hostemu::ActionResult result = host.dialogs().set(c.id, c.typed);
  EXPECT_EQ(result.error, c.error) << result.message;
  if (c.error == ActionError::none) {
    EXPECT_TRUE(bit_exact::SameBits(Gadget(c.id)["value"].get<double>(), c.expected));
    EXPECT_EQ(form.Commands(), std::vector<int32_t>{c.id});
  } else {
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(Gadget(c.id), before);
    EXPECT_TRUE(form.Commands().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, UserSetTest,
                         ::testing::Values(SetCase{"CheckboxOff", 1100, "0", ActionError::none, 0},
                                           SetCase{"CheckboxTakesOnlyZeroOrOne", 1100, "2", ActionError::badValue, 0},
                                           SetCase{"ComboChild", 1102, "2", ActionError::none, 2},
                                           SetCase{"ComboWithoutSuchChild", 1102, "3", ActionError::badValue, 0},
                                           SetCase{"ComboFraction", 1102, "1.5", ActionError::badValue, 0},
                                           SetCase{"LengthAsTyped", 1101, "2.5", ActionError::none, 2.5},
                                           SetCase{"LengthAboveMaximum", 1101, "5000", ActionError::none, 1000},
                                           SetCase{"LengthBelowMinimum", 1101, "-1", ActionError::none, 0.0001},
                                           SetCase{"AngleInDegrees", 1104, "90", ActionError::none, 90 * kDegree},
                                           SetCase{"AngleAboveMaximum", 1104, "1e6", ActionError::none, 1000 * kDegree},
                                           SetCase{"NotANumber", 1101, "abc", ActionError::badValue, 0},
                                           SetCase{"Infinite", 1101, "inf", ActionError::badValue, 0},
                                           SetCase{"Empty", 1101, "", ActionError::badValue, 0},
                                           SetCase{"StaticText", 5006, "1", ActionError::wrongKind, 0},
                                           SetCase{"Button", 1001, "1", ActionError::wrongKind, 0},
                                           SetCase{"UnknownId", 4711, "1", ActionError::unknownId, 0}),
                         [](const ::testing::TestParamInfo<SetCase> &info) { return std::string(info.param.name); });

TEST_F(DialogTest, DisabledGadgetsAndGadgetsInDisabledGroupsRefuseTheUser) {
  ASSERT_TRUE(Open());
  form.gd.enable(form.dialog, 1101, false);
  EXPECT_EQ(host.dialogs().set(1101, "2").error, ActionError::disabled);
  form.gd.enable(form.dialog, 1101, true);
  EXPECT_TRUE(host.dialogs().set(1101, "2").ok());

  form.gd.enable(form.dialog, 2000, false);
  EXPECT_EQ(host.dialogs().press(1001).error, ActionError::disabled);
  EXPECT_EQ(form.Commands(), std::vector<int32_t>{1101});
}

TEST_F(DialogTest, PressTakesButtonsAndMenuItemsOnly) {
  ASSERT_TRUE(Open());
  EXPECT_TRUE(host.dialogs().press(1001).ok());
  EXPECT_TRUE(host.dialogs().press(5001).ok());
  EXPECT_EQ(host.dialogs().press(1100).error, ActionError::wrongKind);
  EXPECT_EQ(host.dialogs().press(4711).error, ActionError::unknownId);
  EXPECT_EQ(form.Commands(), (std::vector<int32_t>{1001, 5001}));
}

TEST_F(DialogTest, AClosedWindowRefusesEveryUserAction) {
  EXPECT_EQ(host.dialogs().set(1100, "1").error, ActionError::noWindow);
  ASSERT_TRUE(Open());
  ASSERT_TRUE(form.gd.close(form.dialog));
  EXPECT_FALSE(form.gd.close(form.dialog));
  std::vector<nlohmann::json> gadgets;
  EXPECT_EQ(host.dialogs().describe(gadgets).error, ActionError::noWindow);
  EXPECT_EQ(host.dialogs().press(1001).error, ActionError::noWindow);
  EXPECT_EQ(host.dialogs().close().error, ActionError::noWindow);
  int32_t value = 0;
  EXPECT_FALSE(form.gd.getInt32(form.dialog, 1100, &value)) << "a closed window has no gadgets";
}

TEST_F(DialogTest, TheUserClosesOnlyWhenTheDialogAgrees) {
  ASSERT_TRUE(Open());
  form.askCloseAnswer = 1;
  EXPECT_EQ(host.dialogs().close().error, ActionError::keptOpen);
  EXPECT_TRUE(form.gd.isOpen(form.dialog));
  form.askCloseAnswer = 0;
  EXPECT_TRUE(host.dialogs().close().ok());
  EXPECT_FALSE(form.gd.isOpen(form.dialog));
  EXPECT_EQ(form.messages.back().first, DIALOG_MSG_DESTROY);
}

TEST_F(DialogTest, ADialogDestroyedWhileOpenIsClosedWithoutAMessage) {
  ASSERT_TRUE(Open());
  const size_t messages = form.messages.size();
  form.gd.destroy(form.dialog);
  form.dialog = nullptr;
  EXPECT_EQ(form.messages.size(), messages);
  EXPECT_EQ(host.dialogs().openWindow(), nullptr);
  EXPECT_EQ(host.dialogs().liveDialogs(), 0u);
}

TEST_F(DialogTest, ADialogDestroyedByItsOwnCommandGoesOnceTheCommandReturns) {
  ASSERT_TRUE(Open());
  form.destroyOnCommand = true;
  EXPECT_TRUE(host.dialogs().press(1001).ok());
  EXPECT_EQ(form.dialog, nullptr);
  EXPECT_EQ(host.dialogs().liveDialogs(), 0u);
  EXPECT_EQ(host.dialogs().press(1001).error, ActionError::noWindow);
}

}  // namespace
