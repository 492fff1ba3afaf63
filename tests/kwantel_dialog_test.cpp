// The module's dialog, loaded from disk in both flavours and worked as a user
// works it: the layout the journal records, the gadgets' values, limits and
// enabled states, and the settings it saves, reloads and resets.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "bit_exact.h"
#include "journal.h"
#include "module_session.h"

namespace {

using module_session::Action;
using module_session::Flavour;
using module_session::kDegree;
using module_session::kNothingLive;
using module_session::kPluginId;
using module_session::ModuleSession;
using module_session::Press;
using module_session::SavedValues;
using module_session::Set;
using nlohmann::json;

class KwantelDialogTest : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(session.EndAndAccount(), kNothingLive); }

  // Starts the module, with saved settings when there are any, and opens its
  // dialog.
  testing::AssertionResult Open(const Flavour &flavour, const SavedValues &saved = {}) {
    if (!saved.empty())
      session.SaveBeforeStart(saved);
    if (testing::AssertionResult started = session.Start(flavour.file); !started)
      return started;
    return session.Invoke();
  }

  const std::vector<hostemu::JournalEntry> &Journal() { return session.host.journal().entries(); }

  ModuleSession session;
};

class DialogTest : public KwantelDialogTest, public testing::WithParamInterface<Flavour> {};

INSTANTIATE_TEST_SUITE_P(Flavours, DialogTest, testing::ValuesIn(module_session::kFlavours),
                         module_session::FlavourName);

std::string Call(const hostemu::JournalEntry &entry) {
  return entry.service + entry.args.dump();
}

// A gadget as its row of the layout shows it: kind, id and text.
std::string Row(const hostemu::JournalEntry &entry) {
  const json &a = entry.args;
  const std::string id = std::to_string(a[0].get<int32_t>());
  if (entry.service == "Gd.addCheckbox")
    return "checkbox " + id + " " + a[4].get<std::string>();
  if (entry.service == "Gd.addStaticText")
    return a[4] == "" ? "filler " + id : "text " + id + " " + a[4].get<std::string>();
  if (entry.service == "Gd.addEditNumberArrows")
    return "number " + id;
  if (entry.service == "Gd.addComboBox")
    return "combo " + id;
  if (entry.service == "Gd.addButton")
    return "button " + id + " " + a[4].get<std::string>();
  return "unexpected " + Call(entry);
}

// The layout arguments of a gadget besides its id and text, by the first
// word of its row.
json LayoutArguments(const hostemu::JournalEntry &entry) {
  json rest = entry.args;
  rest.erase(0);
  if (entry.service == "Gd.addCheckbox" || entry.service == "Gd.addStaticText" || entry.service == "Gd.addButton")
    rest.erase(3);
  return rest;
}

const std::map<std::string, json> kLayoutArgumentsByKind = {
    {"checkbox", json::parse("[9, 200, 0]")},           {"text", json::parse("[9, 200, 0, 0]")},
    {"filler", json::parse("[57, 200, 0, 0]")},         {"number", json::parse("[57, 0, 0]")},
    {"combo", json::parse("[57, 0, 0, false, false]")}, {"button", json::parse("[0, 100, 0, 0]")},
};

struct LaidOutGroup {
  json begin;
  std::vector<std::string> border;  // calls between the begin and the first gadget
  std::vector<std::string> rows;
};

bool IsLayoutCall(const std::string &service) {
  static const std::set<std::string> layout = {
      "Gd.setTitle",      "Gd.menuFlushAll", "Gd.menuSubBegin",        "Gd.menuAddString", "Gd.menuSubEnd",
      "Gd.menuFinished",  "Gd.groupBegin",   "Gd.groupBorderSpace",    "Gd.groupBorder",   "Gd.groupEnd",
      "Gd.addStaticText", "Gd.addCheckbox",  "Gd.addEditNumberArrows", "Gd.addComboBox",   "Gd.addChild",
      "Gd.addButton"};
  return layout.count(service) != 0;
}

TEST_P(DialogTest, TheLayoutIsTheTitleTheMenusAndFiveGroupsInOrder) {
  session.host.journal().setEnabled(true);
  ASSERT_TRUE(Open(GetParam()));

  // The layout: the dialog calls from the title to the first that is no
  // layout call.
  std::vector<hostemu::JournalEntry> layout;
  bool inLayout = false, after = false;
  for (const hostemu::JournalEntry &entry : Journal()) {
    // Strings and the like the module makes on the way are not the layout.
    if (entry.service.rfind("Gd.", 0) != 0)
      continue;
    inLayout = inLayout || entry.service == "Gd.setTitle";
    if (inLayout && !after && IsLayoutCall(entry.service)) {
      layout.push_back(entry);
    } else if (inLayout) {
      after = true;
      EXPECT_FALSE(IsLayoutCall(entry.service)) << "after the layout: " << Call(entry);
    }
  }
  ASSERT_GT(layout.size(), 12u);
  EXPECT_EQ(Call(layout[0]), R"(Gd.setTitle["Kwantel"])");
  const std::vector<std::string> expectedMenu = {R"(Gd.menuFlushAll[])",
                                                 R"(Gd.menuSubBegin["Settings"])",
                                                 R"(Gd.menuAddString[5003,"Reload Settings"])",
                                                 R"(Gd.menuAddString[5004,"Save Settings"])",
                                                 R"(Gd.menuAddString[5005,"Reset Settings"])",
                                                 R"(Gd.menuSubEnd[])",
                                                 R"(Gd.menuSubBegin["Help"])",
                                                 R"(Gd.menuAddString[5001,"About..."])",
                                                 R"(Gd.menuAddString[5002,"Show Help File (.PDF)..."])",
                                                 R"(Gd.menuSubEnd[])",
                                                 R"(Gd.menuFinished[])"};
  std::vector<std::string> menuCalls;
  for (size_t i = 1; i < 12; ++i)
    menuCalls.push_back(Call(layout[i]));
  EXPECT_EQ(menuCalls, expectedMenu);

  // The groups, none inside another, each combo box followed at once by its
  // children.
  std::vector<LaidOutGroup> groups;
  std::map<int32_t, std::vector<std::string>> children;
  bool open = false;
  const hostemu::JournalEntry *last = nullptr;
  for (size_t i = 12; i < layout.size(); ++i) {
    const hostemu::JournalEntry &entry = layout[i];
    if (entry.service == "Gd.groupBegin") {
      EXPECT_FALSE(open) << "a group begun inside another: " << Call(entry);
      groups.push_back({entry.args, {}, {}});
      open = true;
    } else if (entry.service == "Gd.groupEnd") {
      EXPECT_TRUE(open) << "a group ended twice";
      open = false;
    } else if (!open) {
      ADD_FAILURE() << "outside every group: " << Call(entry);
    } else if (entry.service == "Gd.addChild") {
      EXPECT_TRUE(last != nullptr && last->service == "Gd.addComboBox" && last->args[0] == entry.args[0])
          << Call(entry) << " does not follow its combo box";
      children[entry.args[0].get<int32_t>()].push_back(std::to_string(entry.args[1].get<int32_t>()) + " " +
                                                       entry.args[2].get<std::string>());
      continue;
    } else if (groups.back().rows.empty() && entry.service.rfind("Gd.groupBorder", 0) == 0) {
      groups.back().border.push_back(Call(entry));
    } else {
      const std::string row = Row(entry);
      groups.back().rows.push_back(row);
      const auto kind = kLayoutArgumentsByKind.find(row.substr(0, row.find(' ')));
      ASSERT_NE(kind, kLayoutArgumentsByKind.end()) << row;
      EXPECT_EQ(LayoutArguments(entry), kind->second) << Call(entry);
    }
    last = &entry;
  }
  EXPECT_FALSE(open) << "the last group was not ended";

  const std::vector<std::string> border = {"Gd.groupBorderSpace[4,4,4,4]", "Gd.groupBorder[2147483653]"};
  const struct {
    const char *title;
    int32_t flags;
    std::vector<std::string> border;
    std::vector<std::string> rows;
  } expected[] = {
      {"Options",
       57,
       border,
       {"text 5006 Selection", "combo 1003", "checkbox 1004 Warnings to Console", "filler 5006"}},
      {"Position",
       56,
       border,
       {"checkbox 1100 Round Position", "filler 5006", "text 5006 Position Step", "number 1101",
        "text 5006 Position Mode", "combo 1102"}},
      {"Rotation",
       56,
       border,
       {"checkbox 1103 Round Rotation", "filler 5006", "text 5006 Rotation Step", "number 1104",
        "text 5006 Rotation Mode", "combo 1105"}},
      // The size row comes before the scale row, though the scale field has
      // the lower id.
      {"Scale",
       56,
       border,
       {"checkbox 1106 Round Scale/Size", "filler 5006", "text 5006 Round Size or Scale", "combo 1110",
        "text 1111 Size Step", "number 1108", "text 1112 Scale Step", "number 1107", "text 1113 Size Mode",
        "combo 1109"}},
      {"", 0, {}, {"button 1001 Round", "button 1002 Cancel"}},
  };
  ASSERT_EQ(groups.size(), std::size(expected));
  for (size_t i = 0; i < groups.size(); ++i) {
    SCOPED_TRACE(expected[i].title);
    EXPECT_EQ(groups[i].begin, json::array({5006, expected[i].flags, 2, 0, expected[i].title, 0, 0, 0}));
    EXPECT_EQ(groups[i].border, expected[i].border);
    EXPECT_EQ(groups[i].rows, expected[i].rows);
  }

  const std::vector<std::string> modes = {"0 Nearest Value", "1 Lowest Value", "2 Highest Value"};
  EXPECT_EQ(children, (std::map<int32_t, std::vector<std::string>>{
                          {1003, {"0 Selected Objects and Children", "1 Selected Objects Only", "2 All Objects"}},
                          {1102, modes},
                          {1105, modes},
                          {1109, modes},
                          {1110, {"0 Round Size", "1 Round Scale"}}}));
}

TEST_P(DialogTest, TheModeLabelIsRelabelledOnlyWhenTheValuesAreWritten) {
  session.host.journal().setEnabled(true);
  ASSERT_TRUE(Open(GetParam(), {{1106, true}, {1110, int32_t{1}}}));
  std::vector<std::string> label;
  for (const hostemu::JournalEntry &entry : Journal()) {
    if (entry.args.is_array() && !entry.args.empty() && entry.args[0] == 1113)
      label.push_back(Call(entry));
  }
  EXPECT_EQ(label, (std::vector<std::string>{R"(Gd.addStaticText[1113,9,200,0,"Size Mode",0])",
                                             R"(Gd.setString[1113,"Scale Mode"])"}));
  EXPECT_EQ(session.Gadget(1113)["text"], "Scale Mode");
}

TEST_P(DialogTest, EachSettingIsWrittenWithItsKindsLimitsAndFormat) {
  session.host.journal().setEnabled(true);
  ASSERT_TRUE(Open(GetParam()));
  const int32_t lowest = std::numeric_limits<int32_t>::min(), highest = std::numeric_limits<int32_t>::max();
  const auto number = [](int32_t id, double value, double unit, const char *format) {
    return json::array({id, value, 0.0001 * unit, 1000 * unit, 0.1 * unit, format, 0.0, 0.0, false});
  };
  const auto choice = [&](int32_t id) { return json::array({id, 0, lowest, highest, 1}); };
  // The defaults, in the order the dialog writes them.
  const std::vector<std::pair<std::string, json>> expected = {
      {"Gd.setBool", json::array({1100, true})},
      {"Gd.setFloat", number(1101, 1.0, 1.0, "fmet")},
      {"Gd.setInt32", choice(1102)},
      {"Gd.setBool", json::array({1103, true})},
      // The user sees degrees; limits and step pass in radians.
      {"Gd.setFloat", number(1104, kDegree, kDegree, "fdgr")},
      {"Gd.setInt32", choice(1105)},
      {"Gd.setBool", json::array({1106, true})},
      {"Gd.setInt32", choice(1109)},
      {"Gd.setInt32", choice(1003)},
      {"Gd.setString", json::array({1111, "Size Step"})},
      {"Gd.setString", json::array({1112, "Scale Step"})},
      {"Gd.setFloat", number(1108, 1.0, 1.0, "fmet")},
      {"Gd.setFloat", number(1107, 0.1, 1.0, "frea")},
      {"Gd.setInt32", choice(1110)},
      {"Gd.setString", json::array({1113, "Size Mode"})},
      {"Gd.enable", json::array({1108, true})},
      {"Gd.enable", json::array({1107, false})},
      {"Gd.setBool", json::array({1004, false})},
  };
  std::vector<std::pair<std::string, json>> written;
  for (const hostemu::JournalEntry &entry : Journal()) {
    if (entry.service.rfind("Gd.set", 0) == 0 && entry.service != "Gd.setTitle")
      written.emplace_back(entry.service, entry.args);
    else if (entry.service == "Gd.enable")
      written.emplace_back(entry.service, entry.args);
  }
  EXPECT_EQ(written, expected);
  // One degree shows as the angle field's value, in radians as it holds it.
  EXPECT_TRUE(bit_exact::Same(session.Gadget(1104)["value"].get<double>(), kDegree));
}

// The enabling and relabelling of the scale group and the two step rows: from
// the saved settings (none: the defaults), after the user's actions.
struct EnablingCase {
  const char *name;
  SavedValues saved;
  std::vector<Action> actions;
  std::set<int32_t> disabled;  // every other gadget is enabled
  const char *modeLabel;
};

const EnablingCase kEnablingCases[] = {
    {"Fresh", {}, {}, {1107}, "Size Mode"},
    // Missing keys load every checkbox off; writing the values disables
    // nothing but the step field the target does not use.
    {"SavedScaleTargetWithEveryCheckboxOff", {{1110, int32_t{1}}}, {}, {1108}, "Scale Mode"},
    {"PositionOff", {}, {Set(1100, "0")}, {1101, 1102, 1107}, "Size Mode"},
    {"PositionOffAndOn", {}, {Set(1100, "0"), Set(1100, "1")}, {1107}, "Size Mode"},
    {"RotationOff", {}, {Set(1103, "0")}, {1104, 1105, 1107}, "Size Mode"},
    {"RotationOffAndOn", {}, {Set(1103, "0"), Set(1103, "1")}, {1107}, "Size Mode"},
    {"ScaleOff", {}, {Set(1106, "0")}, {1107, 1108, 1109, 1110}, "Size Mode"},
    {"ScaleOffAndOnForSize", {}, {Set(1106, "0"), Set(1106, "1")}, {1107}, "Size Mode"},
    {"ScaleOffAndOnForScale", {}, {Set(1110, "1"), Set(1106, "0"), Set(1106, "1")}, {1108}, "Scale Mode"},
    {"ScaleOffKeepsTheLabel", {}, {Set(1110, "1"), Set(1106, "0")}, {1107, 1108, 1109, 1110}, "Scale Mode"},
    {"TargetScale", {}, {Set(1110, "1")}, {1108}, "Scale Mode"},
    {"TargetScaleAndBack", {}, {Set(1110, "1"), Set(1110, "0")}, {1107}, "Size Mode"},
    {"TargetChangedWhileScaleIsOff", {{1106, false}}, {Set(1110, "1")}, {1107}, "Size Mode"},
    // Writing the values enables only by the target, whatever 1106 holds,
    // and leaves every other disabled gadget disabled.
    {"ResetAfterPositionAndScaleOff",
     {},
     {Set(1100, "0"), Set(1106, "0"), Press(5005)},
     {1101, 1102, 1107, 1109, 1110},
     "Size Mode"},
    {"ReloadAfterScaleOff",
     {{1110, int32_t{1}}},
     {Set(1106, "1"), Set(1106, "0"), Press(5003)},
     {1108, 1109, 1110},
     "Scale Mode"},
};

void PrintTo(const EnablingCase &c, std::ostream *out) {
  *out << c.name;
}

class EnablingTest : public KwantelDialogTest, public testing::WithParamInterface<std::tuple<Flavour, EnablingCase>> {};

TEST_P(EnablingTest, GadgetsFollowTheCheckboxesAndTheTarget) {
  const auto &[flavour, c] = GetParam();
  ASSERT_TRUE(Open(flavour, c.saved));
  ASSERT_TRUE(session.Do(c.actions));
  std::set<int32_t> disabled;
  for (const json &gadget : session.Gadgets()) {
    if (!gadget["enabled"].get<bool>())
      disabled.insert(gadget["id"].get<int32_t>());
  }
  EXPECT_EQ(disabled, c.disabled);
  EXPECT_EQ(session.Gadget(1113)["text"], c.modeLabel);
}

INSTANTIATE_TEST_SUITE_P(Cases, EnablingTest,
                         testing::Combine(testing::ValuesIn(module_session::kFlavours),
                                          testing::ValuesIn(kEnablingCases)),
                         [](const auto &info) {
                           return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

// Values a user types, then the settings that show them. The rotation step is
// typed in degrees and kept in radians.
const std::vector<Action> kTyped = {
    Set(1101, "2.5"), Set(1104, "90"), Set(1110, "1"), Set(1107, "0.25"), Set(1110, "0"),
    Set(1108, "3"),   Set(1110, "1"),  Set(1102, "2"), Set(1105, "1"),    Set(1109, "2"),
    Set(1003, "2"),   Set(1004, "1"),  Set(1100, "0"), Set(1103, "0"),
};
const SavedValues kTypedSettings = {
    {1100, false},        {1103, false},      {1106, true},       {1004, true},       {1101, 2.5},
    {1104, 90 * kDegree}, {1107, 0.25},       {1108, 3.0},        {1102, int32_t{2}}, {1105, int32_t{1}},
    {1109, int32_t{2}},   {1110, int32_t{1}}, {1003, int32_t{2}},
};

TEST_P(DialogTest, SaveStoresWhatTheGadgetsShowAndKeepsItInTheRecord) {
  ASSERT_TRUE(Open(GetParam()));
  ASSERT_TRUE(session.Do(kTyped));
  const std::map<int32_t, json> shown = session.Shown();
  ASSERT_TRUE(session.Do(Press(5004)));
  ASSERT_NE(session.Saved(), nullptr);
  EXPECT_EQ(session.Saved()->values, kTypedSettings);
  EXPECT_TRUE(session.host.messageBoxes.empty());

  // The record took the values too: a rebuilt window shows them.
  ASSERT_TRUE(session.host.dialogs().close().ok());
  ASSERT_TRUE(session.Invoke());
  EXPECT_EQ(session.Shown(), shown);
}

TEST_P(DialogTest, ResetShowsTheDefaultsAndReloadBringsTheSavedValuesBack) {
  ASSERT_TRUE(Open(GetParam()));
  const std::map<int32_t, json> defaults = session.Shown();
  ASSERT_TRUE(session.Do(kTyped));
  const std::map<int32_t, json> typed = session.Shown();
  ASSERT_TRUE(session.Do(Press(5004)));
  ASSERT_NE(session.Saved(), nullptr);
  const HostContainer saved = *session.Saved();

  ASSERT_TRUE(session.Do(Press(5005)));
  EXPECT_EQ(session.Shown(), defaults);
  ASSERT_NE(session.Saved(), nullptr);
  EXPECT_EQ(*session.Saved(), saved) << "Reset leaves the saved settings alone";

  ASSERT_TRUE(session.Do(Press(5003)));
  EXPECT_EQ(session.Shown(), typed);
  EXPECT_TRUE(session.host.messageBoxes.empty());
}

TEST_P(DialogTest, ReloadWithoutSavedSettingsSaysSoAndChangesNothing) {
  ASSERT_TRUE(Open(GetParam()));
  const std::map<int32_t, json> record = session.Shown();
  ASSERT_TRUE(session.Do(Set(1101, "2.5")));
  const std::vector<json> before = session.Gadgets();

  ASSERT_TRUE(session.Do(Press(5003)));
  ASSERT_EQ(session.host.messageBoxes.size(), 1u);
  EXPECT_EQ(session.host.messageBoxes[0].style, 48);
  EXPECT_EQ(session.host.messageBoxes[0].text, "No saved settings available to load.");
  EXPECT_EQ(session.Gadgets(), before);
  EXPECT_EQ(session.Saved(), nullptr);

  // Nor did the record change: the typed value was never committed.
  ASSERT_TRUE(session.host.dialogs().close().ok());
  ASSERT_TRUE(session.Invoke());
  EXPECT_EQ(session.Shown(), record);
}

TEST_P(DialogTest, MissingSavedKeysLoadFalseZeroAndTheFieldsRaiseZeroStepsToTheirMinimum) {
  ASSERT_TRUE(Open(GetParam(), {{1101, 2.5}}));
  // Checkboxes off and combo boxes at 0; a step loaded as 0.0 shows as the
  // field's lower limit, since a field keeps its value within its limits.
  const std::map<int32_t, json> expected = {
      {1100, 0}, {1103, 0}, {1106, 0}, {1004, 0}, {1101, 2.5}, {1104, 0.0001 * kDegree}, {1107, 0.0001}, {1108, 0.0001},
      {1102, 0}, {1105, 0}, {1109, 0}, {1110, 0}, {1003, 0},   {1113, "Size Mode"},
  };
  EXPECT_EQ(session.Shown(), expected);

  // Saved again, the steps keep what the fields showed, not the zeros.
  ASSERT_TRUE(session.Do(Press(5004)));
  ASSERT_NE(session.Saved(), nullptr);
  EXPECT_EQ(session.Saved()->values, (SavedValues{{1100, false},
                                                  {1103, false},
                                                  {1106, false},
                                                  {1004, false},
                                                  {1101, 2.5},
                                                  {1104, 0.0001 * kDegree},
                                                  {1107, 0.0001},
                                                  {1108, 0.0001},
                                                  {1102, int32_t{0}},
                                                  {1105, int32_t{0}},
                                                  {1109, int32_t{0}},
                                                  {1110, int32_t{0}},
                                                  {1003, int32_t{0}}}));
}

}  // namespace
