// Containers through the Bc table: each key holds one typed value, and a
// getter answers its fallback for a missing key or a key of another type.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "bit_exact.h"
#include "container.h"
#include "host.h"
#include "tables.h"

namespace {

class ContainerTest : public ::testing::Test {
 protected:
  hostemu::Host host;
  const HostContainerTable &bc = *hostemu::containerTable();
};

enum class Type { boolean, real, integer };

struct TypedCase {
  const char *name;
  Type stored;
  double value;  // what was stored, as a double
  Type read;
  double expected;  // what the getter answers with the fallbacks true, -7.5 and -7
};

class TypedGetTest : public ContainerTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedGetTest, GetterAnswersTheValueOfItsTypeOrTheFallback) {
  const TypedCase &c = GetParam();
  HostContainer *container = bc.create(-1);
  const int32_t key = 1101;
  switch (c.stored) {
    case Type::boolean:
      bc.setBool(container, key, c.value != 0.0);
      break;
    case Type::real:
      bc.setFloat(container, key, c.value);
      break;
    case Type::integer:
      bc.setInt32(container, key, static_cast<int32_t>(c.value));
      break;
  }
  switch (c.read) {
    case Type::boolean:
      EXPECT_EQ(bc.getBool(container, key, true), c.expected != 0.0);
      break;
    case Type::real:
      EXPECT_TRUE(bit_exact::SameBits(bc.getFloat(container, key, -7.5), c.expected));
      break;
    case Type::integer:
      EXPECT_EQ(bc.getInt32(container, key, -7), static_cast<int32_t>(c.expected));
      break;
  }
  bc.destroy(container);
}

INSTANTIATE_TEST_SUITE_P(Cases, TypedGetTest,
                         ::testing::Values(TypedCase{"BoolFalse", Type::boolean, 0, Type::boolean, 0},
                                           TypedCase{"NegativeZero", Type::real, -0.0, Type::real, -0.0},
                                           TypedCase{"Subnormal", Type::real, std::numeric_limits<double>::denorm_min(),
                                                     Type::real, std::numeric_limits<double>::denorm_min()},
                                           TypedCase{"IntMinimum", Type::integer, -2147483648.0, Type::integer,
                                                     -2147483648.0},
                                           TypedCase{"FloatReadAsBool", Type::real, 1.0, Type::boolean, 1},
                                           TypedCase{"FloatReadAsInt", Type::real, 3.0, Type::integer, -7},
                                           TypedCase{"IntReadAsFloat", Type::integer, 3, Type::real, -7.5},
                                           TypedCase{"BoolReadAsInt", Type::boolean, 1, Type::integer, -7}),
                         [](const ::testing::TestParamInfo<TypedCase> &info) { return std::string(info.param.name); });

TEST_F(ContainerTest, MissingKeysAnswerTheFallbackAndASetterReplacesAnyType) {
  HostContainer *container = bc.create(42);
  EXPECT_EQ(bc.getId(container), 42);
  EXPECT_FALSE(bc.getBool(container, 1100, false));
  EXPECT_TRUE(bit_exact::SameBits(bc.getFloat(container, 1101, 0.0), 0.0));
  EXPECT_EQ(bc.getInt32(container, 1102, 0), 0);

  bc.setInt32(container, 1100, 5);
  bc.setBool(container, 1100, true);
  EXPECT_TRUE(bc.getBool(container, 1100, false));
  EXPECT_EQ(bc.getInt32(container, 1100, -1), -1);
  bc.destroy(container);
}

TEST_F(ContainerTest, TheAccountCountsTheModulesContainers) {
  const uint64_t before = hostemu::liveContainers();
  HostContainer *a = bc.create(1);
  HostContainer *b = bc.create(2);
  EXPECT_EQ(hostemu::liveContainers(), before + 2);
  bc.destroy(a);
  bc.destroy(b);
  bc.destroy(nullptr);
  EXPECT_EQ(hostemu::liveContainers(), before);
}

TEST_F(ContainerTest, DestroyingAContainerTwiceStopsTheHost) {
  HostContainer *container = bc.create(1);
  bc.destroy(container);
  EXPECT_DEATH(bc.destroy(container), "module fault in Bc.destroy");
}

}  // namespace
