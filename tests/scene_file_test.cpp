// Scene files: numbers come back to the same bits, the file's own order and
// unknown fields survive a read and a write, and each kind of faulty file is
// named with its place.
#include "scene_file.h"

#include "bit_exact.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using hostemu::formatScene;
using hostemu::parseScene;
using hostemu::Scene;
using hostemu::SceneObject;
using hostemu::SceneProblem;
using hostemu::SceneRead;

SceneRead Parse(std::string_view text) {
  return parseScene(text, "scene.json");
}

Scene MustParse(std::string_view text) {
  SceneRead read = Parse(text);
  EXPECT_FALSE(read.error) << read.error->message;
  return std::move(read.scene);
}

TEST(SceneNumbers, EveryKindOfDoubleReadsBackToTheSameBits) {
  constexpr double max = std::numeric_limits<double>::max();
  constexpr double denormal = std::numeric_limits<double>::denorm_min();
  const double values[] = {0.0,
                           -0.0,
                           denormal,
                           -denormal,
                           std::numeric_limits<double>::min(),
                           2.2250738585072009e-308,  // largest subnormal
                           max,
                           -max,
                           0.1,
                           1.0 / 3.0,
                           3 * 0.1,
                           1e300,
                           9007199254740993.0,
                           18446744073709551616.0,
                           1e23,
                           -123456789.0,
                           std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  Scene scene;
  SceneObject &object = scene.objects.emplace_back();
  object.type = hostemu::SceneObjectType::polygon;
  for (double v : values)
    object.points.push_back(HostVector{v, -v, v});
  object.position = {max, -0.0, denormal};

  std::string text = formatScene(scene);
  Scene back = MustParse(text);
  ASSERT_EQ(back.objects.size(), 1u);
  ASSERT_EQ(back.objects[0].points.size(), std::size(values));
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_TRUE(bit_exact::SameBits(back.objects[0].points[i], object.points[i])) << "point " << i;
  }
  EXPECT_TRUE(bit_exact::SameBits(back.objects[0].position, object.position));
  EXPECT_EQ(formatScene(back), text) << "writing what was read changes nothing";
}

TEST(SceneNumbers, TextFormsReadAsTheNumbersTheyName) {
  struct Case {
    const char *text;
    double value;
  };
  const Case cases[] = {
      {"\"NaN\"", std::numeric_limits<double>::quiet_NaN()},
      {"\"Infinity\"", std::numeric_limits<double>::infinity()},
      {"\"-Infinity\"", -std::numeric_limits<double>::infinity()},
      {"-0.0", -0.0},
      {"4.9e-324", std::numeric_limits<double>::denorm_min()},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"18446744073709551615", 18446744073709551615.0},
      {"-9223372036854775808", -9223372036854775808.0},
      {"100000000000000000000000", 1e23},
  };
  for (const Case &c : cases) {
    std::string text = std::string("{\"objects\": [{\"position\": [") + c.text + ", 0, 0]}]}";
    Scene scene = MustParse(text);
    ASSERT_EQ(scene.objects.size(), 1u) << c.text;
    EXPECT_TRUE(bit_exact::SameBits(scene.objects[0].position.x, c.value)) << c.text;
  }
}

TEST(SceneNumbers, WrittenFormsAreShortAndReadAsFloats) {
  struct Case {
    double value;
    const char *text;
  };
  const Case cases[] = {
      {1.0, "1.0"},       {-0.0, "-0.0"},
      {0.1, "0.1"},       {1e300, "1e+300"},
      {2.5, "2.5"},       {-3.0, "-3.0"},
      {5e-324, "5e-324"}, {std::numeric_limits<double>::quiet_NaN(), "\"NaN\""},
      {1e21, "1e+21"},    {123456789.0, "123456789.0"},
  };
  for (const Case &c : cases) {
    std::string out;
    hostemu::appendSceneNumber(out, c.value);
    EXPECT_EQ(out, c.text);
  }
}

TEST(SceneNumbers, ArraysReadAlikeWhetherTheReaderOrTheLibraryTakesThem) {
  // The reader reads plain number arrays itself; one "NaN" in an array
  // leaves the whole array to the library. Both must give the same bits.
  const char *numbers[] = {"0",
                           "-0",
                           "-0.0",
                           "0.1",
                           "1E5",
                           "2.5e-3",
                           "4.9e-324",
                           "1e-400",
                           "3.0e+2",
                           "12345678901234567890123",
                           "9007199254740993",
                           "-9223372036854775808",
                           "0.30000000000000004"};
  std::string plain;
  std::string mixed = "[\"NaN\", 0, 0]";
  for (const char *n : numbers) {
    std::string point = std::string(", [") + n + ", " + n + ", " + n + "]";
    plain += point;
    mixed += point;
  }
  Scene scene = MustParse(std::string(R"({"objects": [{"type": "polygon", "points": [[0, 0, 0])") + plain +
                          R"(]}, {"type": "polygon", "points": [)" + mixed + "]}]}");
  ASSERT_EQ(scene.objects.size(), 2u);
  ASSERT_EQ(scene.objects[0].points.size(), std::size(numbers) + 1);
  ASSERT_EQ(scene.objects[1].points.size(), std::size(numbers) + 1);
  for (size_t i = 1; i <= std::size(numbers); ++i) {
    EXPECT_TRUE(bit_exact::SameBits(scene.objects[0].points[i], scene.objects[1].points[i])) << numbers[i - 1];
  }
  EXPECT_TRUE(bit_exact::SameBits(scene.objects[0].points[3].x, -0.0));
  EXPECT_TRUE(bit_exact::SameBits(scene.objects[0].points[2].x, 0.0)) << "an integer zero has no sign";
}

TEST(SceneErrors, MalformedJsonIsPlacedWhereTheLibraryPlacesIt) {
  // The reader reads long number arrays itself, past the library's own count
  // of lines and columns; the place it gives must be the library's all the same.
  std::string longArray = "{\"objects\": [{\"type\": \"polygon\", \"points\": [\n";
  for (int i = 0; i < 1000; ++i)
    longArray += "  [1.5, -2.25, 3e2],\n";
  longArray += "  [0, 0, 0]\n], \"position\": [1, 2, 3]\n";
  const std::string texts[] = {
      longArray + ", \"name\": nul}]}",
      longArray + "}",
      longArray + "}]",
      longArray + ", \"scale\": [1, 2, 1e400]}]}",
      "{\"objects\": [\n  {\"name\": \"A\"}\n  {\"name\": \"B\"}\n]}",
      "{\"objects\": [{\"type\": \"polygon\", \"points\": [[1, 2, 3], [4, 5, 6],]}]}",
      "",
      // Faults among the members of an object, which the reader also reads itself.
      "{\"objects\": [{\"name\": \"A\", \"selected\": truex}]}",
      "{\"objects\": [{\"name\": \"A\", \"type\": \"null\",}]}",
      "{\"objects\": [{\"name\": \"A\" \"type\": \"null\"}]}",
      "{\"objects\": [{\"name\": \"A\", \"position\": [1, 2, 3] ]}]}",
      "{\"objects\": [{\"name\": \"A\", \"selected\": true",
      "{\"objects\": [{\"name\": \"A\x01\"}]}",
      "{\"objects\": [{\"name\": \"\xff\"}]}",
      "{\"objects\": [{\"name\": \"A\"}, {\"name\": \"B\", }]}",
  };
  for (const std::string &text : texts) {
    std::string expected;
    try {
      nlohmann::json ignored = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception &error) {
      // An overflowing number is reported without a place.
      std::string what = error.what();
      size_t line = what.find("line ");
      expected = line == std::string::npos ? "line " : what.substr(line, what.find(':', line) - line);
    }
    ASSERT_FALSE(expected.empty());
    SceneRead read = Parse(text);
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->problem, SceneProblem::malformedJson);
    EXPECT_NE(read.error->message.find(expected), std::string::npos) << read.error->message << "\nwant " << expected;
  }
}

TEST(SceneFields, MembersReadAlikeWhetherTheReaderOrTheLibraryTakesThem) {
  // The reader reads plain members itself up to the first it cannot; an
  // unknown field first leaves them all to the library.
  const std::string members[] = {
      R"("name": "Null 1", "type": "polygon", "selected": true, "points_locked": false, "position": [0.1, -0, 1e-400],
         "rotation": [-0.0, 2.5e-3, 1E5], "scale": [3, 4, 5], "bbox_center": [1, 2, 3], "points": [[1, 2, 3]])",
      R"("type": "null", "name": "N\u00fcll \"q\"", "scale": [1, "NaN", 2], "selected": false)",
      "\"name\": \"N\xc3\xbcll\", \"position\": [1, 2, 3], \"children\": [{\"name\": \"child\", \"rotation\": [0, 0, "
      "1]}]",
      R"( "rotation" : [ 1 , 2 , 3 ] , "name":"x" )",
  };
  for (const std::string &m : members) {
    Scene own = MustParse("{\"objects\": [{" + m + "}]}");
    Scene library = MustParse("{\"objects\": [{\"x\": 0, " + m + "}]}");
    ASSERT_EQ(own.objects.size(), library.objects.size()) << m;
    for (size_t i = 0; i < own.objects.size(); ++i) {
      const SceneObject &a = own.objects[i];
      const SceneObject &b = library.objects[i];
      EXPECT_EQ(a.name, b.name) << m;
      EXPECT_EQ(a.type, b.type) << m;
      EXPECT_EQ(a.selected, b.selected) << m;
      EXPECT_EQ(a.pointsLocked, b.pointsLocked) << m;
      EXPECT_TRUE(bit_exact::SameBits(a.position, b.position)) << m;
      EXPECT_TRUE(bit_exact::SameBits(a.rotation, b.rotation)) << m;
      EXPECT_TRUE(bit_exact::SameBits(a.scale, b.scale)) << m;
      EXPECT_EQ(a.bboxCenter.has_value(), b.bboxCenter.has_value()) << m;
      EXPECT_EQ(a.points.size(), b.points.size()) << m;
      EXPECT_EQ(a.parent, b.parent) << m;
      // The file's order of fields is kept either way.
      EXPECT_EQ(formatScene(own),
                std::string(formatScene(library)).replace(formatScene(library).find("\"x\": 0, "), 8, ""))
          << m;
    }
  }
}

TEST(SceneFields, MissingFieldsTakeTheirDefaults) {
  Scene scene = MustParse(R"({"objects": [{"children": [{"name": "Child", "type": "polygon"}]}]})");
  ASSERT_EQ(scene.objects.size(), 2u);
  const SceneObject &parent = scene.objects[0];
  EXPECT_EQ(parent.type, hostemu::SceneObjectType::null);
  EXPECT_FALSE(parent.selected);
  EXPECT_TRUE(bit_exact::SameBits(parent.position, HostVector{0.0, 0.0, 0.0}));
  EXPECT_TRUE(bit_exact::SameBits(parent.rotation, HostVector{0.0, 0.0, 0.0}));
  EXPECT_TRUE(bit_exact::SameBits(parent.scale, HostVector{1.0, 1.0, 1.0}));
  EXPECT_FALSE(parent.bboxCenter);
  EXPECT_EQ(parent.parent, hostemu::kNoParent);
  EXPECT_EQ(scene.objects[1].parent, 0u);
  EXPECT_EQ(scene.objects[1].name, "Child");
  EXPECT_TRUE(scene.objects[1].points.empty());
}

TEST(SceneFields, TreeOrderFieldOrderAndUnknownFieldsSurviveAWrite) {
  const char *input = R"({"version": 3, "objects": [
    {"children": [{"name": "B", "colour": {"r": [1, 2.5]}, "type": "polygon", "points": [[1, 2, 3]]},
                  {"name": "C"}],
     "name": "A", "position": [0.5, 0, 0], "tag": null},
    {"name": "D", "selected": true, "points_locked": true, "type": "polygon", "bbox_center": [1, 2, 3]}
  ], "after": "x"})";
  SceneRead read = Parse(input);
  ASSERT_FALSE(read.error);
  EXPECT_EQ(read.unknownFields, 4u);
  EXPECT_EQ(read.firstUnknownField, "version");

  std::string text = formatScene(read.scene);
  Scene back = MustParse(text);
  ASSERT_EQ(back.objects.size(), 4u);
  const char *names[] = {"A", "B", "C", "D"};
  const size_t parents[] = {hostemu::kNoParent, 0, 0, hostemu::kNoParent};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(back.objects[i].name, names[i]);
    EXPECT_EQ(back.objects[i].parent, parents[i]);
  }
  EXPECT_TRUE(back.objects[3].pointsLocked);
  EXPECT_TRUE(back.objects[3].selected);
  ASSERT_TRUE(back.objects[3].bboxCenter);
  EXPECT_LT(text.find("\"version\": 3"), text.find("\"objects\""));
  EXPECT_LT(text.find("\"objects\""), text.find("\"after\": \"x\""));
  EXPECT_LT(text.find("\"children\""), text.find("\"name\": \"A\""));
  EXPECT_LT(text.find("\"name\": \"A\""), text.find("\"tag\": null"));
  EXPECT_LT(text.find("\"name\": \"B\""), text.find("\"colour\": {\"r\":[1,2.5]}"));
  EXPECT_LT(text.find("\"colour\""), text.find("\"type\": \"polygon\""));
  EXPECT_EQ(formatScene(back), text);
}

TEST(SceneFields, ChangedValuesOfAbsentFieldsAreWritten) {
  Scene scene = MustParse(R"({"objects": [{"name": "A"}, {"name": "B"}]})");
  scene.objects[0].selected = true;
  scene.objects[1].position.x = -0.0;
  Scene back = MustParse(formatScene(scene));
  EXPECT_TRUE(back.objects[0].selected);
  EXPECT_FALSE(back.objects[1].selected);
  EXPECT_TRUE(bit_exact::SameBits(back.objects[1].position.x, -0.0));
}

TEST(SceneFields, NamesWithQuotesAndControlCharactersRoundTrip) {
  Scene scene;
  scene.objects.emplace_back().name = "a \"b\" \\ c\n\t\x01 ü";
  EXPECT_EQ(MustParse(formatScene(scene)).objects[0].name, scene.objects[0].name);
}

TEST(SceneFields, ADeepChainOfChildrenReadsAndWrites) {
  constexpr int depth = 30000;
  std::string text = "{\"objects\": [";
  for (int i = 0; i < depth; ++i)
    text += "{\"children\": [";
  for (int i = 0; i < depth; ++i)
    text += "]}";
  text += "]}";
  Scene scene = MustParse(text);
  ASSERT_EQ(scene.objects.size(), static_cast<size_t>(depth));
  EXPECT_EQ(scene.objects.back().parent, static_cast<size_t>(depth - 2));
  Scene back = MustParse(formatScene(scene));
  EXPECT_EQ(back.objects.size(), scene.objects.size());
}

TEST(SceneErrors, EachFaultIsNamedWithItsPlace) {
  struct Case {
    std::string text;
    SceneProblem problem;
    const char *path;
  };
  const Case cases[] = {
      {"", SceneProblem::malformedJson, ""},
      {"{\"objects\": [{\"name\": \"A\",}]}", SceneProblem::malformedJson, "objects[0]"},
      {"[1, 2]", SceneProblem::wrongType, ""},
      {"{\"objects\": {}}", SceneProblem::wrongType, "objects"},
      {"{\"objects\": [1]}", SceneProblem::wrongType, "objects[0]"},
      {"{\"objects\": [{}, {\"type\": \"cube\"}]}", SceneProblem::unknownType, "objects[1].type"},
      {"{\"objects\": [{\"type\": 5}]}", SceneProblem::wrongType, "objects[0].type"},
      {"{\"objects\": [{\"name\": 5}]}", SceneProblem::wrongType, "objects[0].name"},
      {"{\"objects\": [{\"selected\": 1}]}", SceneProblem::wrongType, "objects[0].selected"},
      {"{\"objects\": [{\"children\": {}}]}", SceneProblem::wrongType, "objects[0].children"},
      {"{\"objects\": [{\"position\": [1, 2]}]}", SceneProblem::badVector, "objects[0].position"},
      {"{\"objects\": [{\"scale\": [1, 2, 3, 4]}]}", SceneProblem::badVector, "objects[0].scale"},
      {"{\"objects\": [{\"rotation\": [1, \"x\", 3]}]}", SceneProblem::badVector, "objects[0].rotation"},
      {"{\"objects\": [{\"bbox_center\": 0}]}", SceneProblem::badVector, "objects[0].bbox_center"},
      {"{\"objects\": [{\"type\": \"polygon\", \"points\": [[0, 0, 0], [1, 2]]}]}", SceneProblem::badPoint,
       "objects[0].points[1]"},
      {"{\"objects\": [{}, {}, {\"children\": [{\"type\": \"polygon\", \"points\": [[0,0,0],[0,0,0],[0,0,0],"
       "[0,0,0],[0,0,0],[1,2,\"x\"]]}]}]}",
       SceneProblem::badPoint, "objects[2].children[0].points[5]"},
      {"{\"objects\": [{\"type\": \"polygon\", \"points\": [1, 2, 3]}]}", SceneProblem::badPoint,
       "objects[0].points[0]"},
      {"{\"objects\": [{\"type\": \"polygon\", \"points\": [[1, 2, [3]]]}]}", SceneProblem::badPoint,
       "objects[0].points[0]"},
      {"{\"objects\": [{\"name\": \"A\", \"name\": \"B\"}]}", SceneProblem::duplicateField, "objects[0].name"},
      {"{\"objects\": [{\"points\": [[0, 0, 0]]}]}", SceneProblem::pointsOnNull, "objects[0]"},
      {"{\"objects\": [{\"position\": [1, 2, 3]]}", SceneProblem::malformedJson, "objects[0]"},
      {"{\"objects\": [{\"x\": " + std::string(300, '[') + std::string(300, ']') + "}]}", SceneProblem::tooDeep,
       "objects[0].x"},
  };
  for (const Case &c : cases) {
    SceneRead read = Parse(c.text);
    ASSERT_TRUE(read.error) << c.text;
    EXPECT_EQ(read.error->problem, c.problem) << c.text << "\n" << read.error->message;
    EXPECT_EQ(read.error->path, c.path) << c.text << "\n" << read.error->message;
    EXPECT_EQ(read.error->message.find('\n'), std::string::npos);
    EXPECT_EQ(read.error->message.rfind("scene.json: ", 0), 0u) << read.error->message;
    EXPECT_NE(read.error->message.find(c.path), std::string::npos) << read.error->message;
  }
}

TEST(SceneErrors, MalformedJsonGivesLineAndColumn) {
  SceneRead read = Parse("{\"objects\": [\n  {\"name\": \"A\"}\n  {\"name\": \"B\"}\n]}");
  ASSERT_TRUE(read.error);
  EXPECT_NE(read.error->message.find("line 3, column 3"), std::string::npos) << read.error->message;
}

TEST(SceneFiles, AMissingFileIsUnreadableAndAWrittenFileReadsBack) {
  std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "scene_file_test";
  std::filesystem::create_directories(folder);
  SceneRead missing = hostemu::readSceneFile(folder / "missing.json");
  ASSERT_TRUE(missing.error);
  EXPECT_EQ(missing.error->problem, SceneProblem::unreadable);

  Scene scene = MustParse(R"({"objects": [{"name": "A", "position": [0.1, -0.0, 3]}]})");
  ASSERT_EQ(hostemu::writeSceneFile(folder / "out.json", scene), "");
  SceneRead back = hostemu::readSceneFile(folder / "out.json");
  ASSERT_FALSE(back.error);
  EXPECT_EQ(formatScene(back.scene), formatScene(scene));
  std::filesystem::remove_all(folder);
}

#ifndef _WIN32
TEST(SceneFiles, AFileOfUnknownSizeReadsWhole) {
  // A pipe, as a shell's <(...) gives: no size to read into, only the text.
  std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "scene_file_pipe_test";
  std::filesystem::create_directories(folder);
  const std::filesystem::path pipe = folder / "scene.json";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::string text = "{\"objects\": [";
  for (int i = 0; i < 5000; ++i)
    text += (i == 0 ? "" : ", ") + std::string(R"({"name": "N", "position": [0.25, -1, 3e-7]})");
  text += "]}";
  std::thread writer([&] { std::ofstream(pipe) << text; });
  SceneRead read = hostemu::readSceneFile(pipe);
  writer.join();
  ASSERT_FALSE(read.error) << read.error->message;
  EXPECT_EQ(formatScene(read.scene), formatScene(MustParse(text)));
  std::filesystem::remove_all(folder);
}
#endif

}  // namespace
