#include "scene_scan.h"

#include "number_text.h"
#include "parallel.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>

namespace hostemu {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

void skipBlanks(const char *&p, const char *end) {
  while (p != end && isBlank(*p))
    ++p;
}

}  // namespace

namespace {

// The powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The eight characters at p as a number, when all are digits: the digits
// of a number are most of a large scene, and eight at a time do not wait
// on each other as one at a time do.
bool readEightDigits(const char *p, uint64_t &value) {
  uint64_t chunk = 0;
  std::memcpy(&chunk, p, 8);  // the first digit in the lowest byte
  // Each byte 0x30 to 0x39: high half 3, and 6 more does not reach 0x40.
  constexpr uint64_t kHigh = 0xF0F0F0F0F0F0F0F0u;
  if (((chunk & kHigh) | (((chunk + 0x0606060606060606u) & kHigh) >> 4)) != 0x3333333333333333u)
    return false;
  chunk -= 0x3030303030303030u;
  chunk = chunk * 10 + (chunk >> 8);  // pairs of digits, in every other byte
  chunk = ((chunk & 0x000000FF000000FFu) * (100 + (uint64_t{1'000'000} << 32)) +
           ((chunk >> 16) & 0x000000FF000000FFu) * (1 + (uint64_t{10'000} << 32))) >>
          32;
  value = static_cast<uint32_t>(chunk);
  return true;
}

}  // namespace

bool scanNumber(const char *&p, const char *end, double &value) {
  // The grammar of a JSON number, which is narrower than what from_chars
  // takes, read in the same pass as the digits, which are kept while they
  // fit.
  const char *q = p;
  const bool negative = q != end && *q == '-';
  if (negative)
    ++q;
  if (q == end || !isDigit(*q))
    return false;
  // The digits as one number while they are read: 19 significant ones fit
  // in 64 bits (more wrap, and then from_chars reads the number). Zeros
  // before the first significant digit only place the others.
  uint64_t digits = 0;
  int significant = 0;
  int exponent = 0;  // of the last digit read
  auto readDigits = [&] {
    const char *first = q;
    for (uint64_t eight = 0; end - q >= 8 && readEightDigits(q, eight); q += 8)
      digits = digits * 100'000'000 + eight;
    for (; q != end && isDigit(*q); ++q)
      digits = digits * 10 + static_cast<uint64_t>(*q - '0');
    return static_cast<int>(q - first);
  };
  if (*q == '0') {
    ++q;
  } else {
    significant = readDigits();
  }
  bool integer = true;
  if (q != end && *q == '.') {
    ++q;
    if (q == end || !isDigit(*q))
      return false;
    if (significant == 0) {
      const char *zeros = q;
      while (q != end && *q == '0')
        ++q;
      exponent -= static_cast<int>(q - zeros);
    }
    const int fraction = readDigits();
    significant += fraction;
    exponent -= fraction;
    integer = false;
  }
  if (q != end && (*q == 'e' || *q == 'E')) {
    ++q;
    const bool below = q != end && *q == '-';
    if (q != end && (*q == '+' || *q == '-'))
      ++q;
    if (q == end || !isDigit(*q))
      return false;
    int written = 0;
    for (; q != end && isDigit(*q); ++q)
      written = std::min(written * 10 + (*q - '0'), 100'000);
    exponent += below ? -written : written;
    integer = false;
  }
  if (q != end && !isBlank(*q) && *q != ',' && *q != ']')
    return false;
  double parsed = 0.0;
  constexpr int kExactPowers = static_cast<int>(std::size(kExactPowersOfTen));
  if (significant <= 19 && digits <= (uint64_t{1} << 53) && exponent > -kExactPowers && exponent < kExactPowers) {
    // Both the digits and the power of ten are exact doubles, and one
    // multiplication or division rounds correctly.
    const double exact = static_cast<double>(digits);
    parsed = exponent < 0 ? exact / kExactPowersOfTen[-exponent] : exact * kExactPowersOfTen[exponent];
    if (negative)
      parsed = -parsed;
  } else if (significant <= 19 && readDecimal(digits, exponent, parsed)) {
    if (negative)
      parsed = -parsed;
  } else {
    auto [stop, error] = std::from_chars(p, q, parsed);
    if (error != std::errc() || stop != q)
      return false;
  }
  // The library reads an integer as an integer, whose zero has no sign.
  value = integer && parsed == 0.0 ? 0.0 : parsed;
  p = q;
  return true;
}

bool scanVectorBody(const char *&p, const char *end, HostVector &vector) {
  const char *q = p;
  double components[3];
  for (int i = 0; i < 3; ++i) {
    skipBlanks(q, end);
    if (i > 0) {
      if (q == end || *q != ',')
        return false;
      ++q;
      skipBlanks(q, end);
    }
    if (!scanNumber(q, end, components[i]))
      return false;
  }
  skipBlanks(q, end);
  if (q == end || *q != ']')
    return false;
  vector = HostVector{components[0], components[1], components[2]};
  p = q;
  return true;
}

namespace {

enum class RunEnd {
  closed,        // at the array's closing ']'
  reachedStop,   // at the '[' of the point that starts at stop
  reachedLimit,  // after as many points as asked, before the next ','
  fault,         // at something that is not a plain point
};

// Points "[x, y, z]" separated by commas, appended, from q on; first: q is at
// the first point, with no comma before it.
RunEnd scanPointRun(const char *&q, const char *end, const char *stop, bool first, size_t limit,
                    std::vector<HostVector> &points) {
  for (size_t count = 0;; ++count) {
    skipBlanks(q, end);
    if (q == end)
      return RunEnd::fault;
    if (*q == ']')
      return RunEnd::closed;
    if (count == limit)
      return RunEnd::reachedLimit;
    if (!first) {
      if (*q != ',')
        return RunEnd::fault;
      ++q;
      skipBlanks(q, end);
    }
    first = false;
    if (q == stop)
      return RunEnd::reachedStop;
    HostVector point;
    if (q == end || *q != '[')
      return RunEnd::fault;
    ++q;
    if (!scanVectorBody(q, end, point))
      return RunEnd::fault;
    ++q;  // the point's ']'
    points.push_back(point);
  }
}

// A place at or after from where a point may start: a '[' after a ',' and
// blanks. Null when none is near.
const char *pointStartAfter(const char *from, const char *end) {
  constexpr size_t kSearch = 4096;
  const char *last = end - from > static_cast<std::ptrdiff_t>(kSearch) ? from + kSearch : end;
  for (const char *q = from; q != last; ++q) {
    if (*q != '[')
      continue;
    const char *before = q;
    while (before != from && isBlank(before[-1]))
      --before;
    if (before != from && before[-1] == ',')
      return q;
  }
  return nullptr;
}

// Long arrays are read a part per core. Each part starts where a point may
// start and stops where the next part starts; the guess is right when the
// part before ends exactly there, which also shows the next part read the
// same array.
constexpr size_t kPointsBeforeSplitting = 1 << 16;
constexpr std::ptrdiff_t kBytesPerPart = 4 << 20;

// bytesPerPoint: the text the points so far took, each. Each part makes
// room for the points its text may hold, and the first part for those of
// all, so that no part grows step by step, moving its points each time.
RunEnd scanPointsInParts(const char *&q, const char *end, double bytesPerPoint, std::vector<HostVector> &points) {
  const size_t parts = std::min<size_t>(usableCores(), static_cast<size_t>((end - q) / kBytesPerPart) + 1);
  std::vector<const char *> starts{q};
  for (size_t i = 1; i < parts; ++i) {
    const char *start =
        pointStartAfter(q + (end - q) * static_cast<std::ptrdiff_t>(i) / static_cast<std::ptrdiff_t>(parts), end);
    if (start != nullptr && start > starts.back())
      starts.push_back(start);
  }
  starts.push_back(nullptr);
  const size_t count = starts.size() - 1;
  std::vector<std::vector<HostVector>> found(count);
  std::vector<const char *> stops(starts.begin(), starts.end() - 1);
  std::vector<RunEnd> ends(count);
  auto room = [bytesPerPoint](const char *from, const char *to) {
    return static_cast<size_t>(static_cast<double>(to - from) / bytesPerPoint * 1.1);
  };
  auto run = [&](size_t i) {
    std::vector<HostVector> &into = i == 0 ? points : found[i];
    try {
      into.reserve(into.size() + room(stops[i], i == 0 || starts[i + 1] == nullptr ? end : starts[i + 1]));
    } catch (const std::bad_alloc &) {
    }
    ends[i] = scanPointRun(stops[i], end, starts[i + 1], i != 0, static_cast<size_t>(-1), into);
  };
  runParts(count, run);
  size_t valid = 1;
  while (valid < count && ends[valid - 1] == RunEnd::reachedStop)
    ++valid;
  size_t total = points.size();
  for (size_t i = 1; i < valid; ++i)
    total += found[i].size();
  points.reserve(total);
  for (size_t i = 1; i < valid; ++i)
    points.insert(points.end(), found[i].begin(), found[i].end());
  // The room was for the rest of the text, which may hold more than these
  // points.
  if (points.capacity() - points.size() > points.size() / 4)
    points.shrink_to_fit();
  q = stops[valid - 1];
  return ends[valid - 1];
}

}  // namespace

bool scanPointsBody(const char *&p, const char *end, std::vector<HostVector> &points) {
  const size_t before = points.size();
  const char *q = p;
  skipBlanks(q, end);
  bool first = true;
  const char *start = q;
  RunEnd ended = scanPointRun(q, end, nullptr, first, kPointsBeforeSplitting, points);
  if (ended == RunEnd::reachedLimit)
    ended = end - q >= 2 * kBytesPerPart
                ? scanPointsInParts(q, end, static_cast<double>(q - start) / kPointsBeforeSplitting, points)
                : scanPointRun(q, end, nullptr, false, static_cast<size_t>(-1), points);
  if (ended != RunEnd::closed) {
    points.resize(before);
    return false;
  }
  p = q;
  return true;
}

namespace {

// A string of printable ASCII without escapes, whose text the library would
// give unchanged; p at its opening quote.
bool scanPlainString(const char *&p, const char *end, std::string_view &text) {
  const char *q = p + 1;
  while (q != end && *q != '"') {
    const auto c = static_cast<unsigned char>(*q);
    if (c < 0x20 || c >= 0x80 || c == '\\')
      return false;
    ++q;
  }
  if (q == end)
    return false;
  text = std::string_view(p + 1, static_cast<size_t>(q - p - 1));
  p = q + 1;
  return true;
}

bool scanLiteral(const char *&p, const char *end, std::string_view word) {
  if (static_cast<size_t>(end - p) < word.size() || std::memcmp(p, word.data(), word.size()) != 0)
    return false;
  const char *q = p + word.size();
  if (q != end && !isBlank(*q) && *q != ',' && *q != '}')
    return false;
  p = q;
  return true;
}

bool scanBoolean(const char *&p, const char *end, bool &value) {
  if (scanLiteral(p, end, "true")) {
    value = true;
    return true;
  }
  value = false;
  return scanLiteral(p, end, "false");
}

bool scanVector(const char *&p, const char *end, HostVector &vector) {
  if (p == end || *p != '[')
    return false;
  const char *q = p + 1;
  if (!scanVectorBody(q, end, vector))
    return false;
  p = q + 1;  // the ']'
  return true;
}

// One member's value into object; false, with object as it was, when the
// value is not plain.
bool scanMemberValue(const char *&p, const char *end, SceneField field, SceneObject &object) {
  std::string_view text;
  switch (field) {
    case SceneField::name:
      if (p == end || *p != '"' || !scanPlainString(p, end, text))
        return false;
      object.name.assign(text);
      return true;
    case SceneField::type:
      if (p == end || *p != '"' || !scanPlainString(p, end, text) || (text != "null" && text != "polygon"))
        return false;
      object.type = text == "null" ? SceneObjectType::null : SceneObjectType::polygon;
      return true;
    case SceneField::selected:
      return scanBoolean(p, end, object.selected);
    case SceneField::pointsLocked:
      return scanBoolean(p, end, object.pointsLocked);
    case SceneField::position:
      return scanVector(p, end, object.position);
    case SceneField::rotation:
      return scanVector(p, end, object.rotation);
    case SceneField::scale:
      return scanVector(p, end, object.scale);
    case SceneField::bboxCenter: {
      HostVector center;
      if (!scanVector(p, end, center))
        return false;
      object.bboxCenter = center;
      return true;
    }
    case SceneField::points: {
      if (p == end || *p != '[')
        return false;
      const char *q = p + 1;
      if (!scanPointsBody(q, end, object.points))
        return false;
      p = q + 1;  // the ']'
      return true;
    }
    case SceneField::children:
      break;
  }
  return false;
}

// Back to the field's default, which it had: the object is new, and a field
// is read once.
void clearField(SceneObject &object, SceneField field) {
  const SceneObject fresh;
  switch (field) {
    case SceneField::name:
      object.name.clear();
      break;
    case SceneField::type:
      object.type = fresh.type;
      break;
    case SceneField::selected:
      object.selected = fresh.selected;
      break;
    case SceneField::pointsLocked:
      object.pointsLocked = fresh.pointsLocked;
      break;
    case SceneField::position:
      object.position = fresh.position;
      break;
    case SceneField::rotation:
      object.rotation = fresh.rotation;
      break;
    case SceneField::scale:
      object.scale = fresh.scale;
      break;
    case SceneField::bboxCenter:
      object.bboxCenter.reset();
      break;
    case SceneField::points:
      object.points.clear();
      break;
    case SceneField::children:
      break;
  }
}

}  // namespace

void scanObjectMembers(const char *&p, const char *end, SceneObject &object) {
  const char *q = p;
  skipBlanks(q, end);
  while (q != end && *q == '"') {
    std::string_view key;
    if (!scanPlainString(q, end, key))
      return;
    const std::optional<SceneField> field = sceneFieldOfKey(key);
    if (!field || *field == SceneField::children || object.hasField(*field))
      return;
    skipBlanks(q, end);
    if (q == end || *q != ':')
      return;
    ++q;
    skipBlanks(q, end);
    // The value is kept only where the library can take over after it: a
    // comma and the next key, or the '}'. Otherwise the library reads the
    // member itself and reports what is wrong as it always does.
    if (!scanMemberValue(q, end, *field, object))
      return;
    skipBlanks(q, end);
    const char *next = q;
    if (next != end && *next == ',') {
      ++next;
      skipBlanks(next, end);
    }
    const bool goesOn = next != end && ((q != next && *next == '"') || (q == next && *next == '}'));
    if (!goesOn) {
      clearField(object, *field);
      return;
    }
    object.addField(*field);
    p = q = next;
  }
}

size_t countByte(std::string_view text, char c) {
  // Byte-wide counters, one per lane, which the compiler keeps in vector
  // registers; emptied into the total before any can overflow.
  constexpr size_t kLanes = 32;
  constexpr size_t kRounds = 255;
  const char *p = text.data();
  size_t left = text.size();
  size_t total = 0;
  while (left >= kLanes) {
    unsigned char lanes[kLanes] = {};
    const size_t rounds = std::min(kRounds, left / kLanes);
    for (size_t round = 0; round < rounds; ++round, p += kLanes) {
      for (size_t lane = 0; lane < kLanes; ++lane)
        lanes[lane] = static_cast<unsigned char>(lanes[lane] + (p[lane] == c));
    }
    left -= rounds * kLanes;
    for (unsigned char lane : lanes)
      total += lane;
  }
  for (; left > 0; --left)
    total += *p++ == c;
  return total;
}

const char *objectCutAfter(const char *from, const char *end) {
  constexpr std::ptrdiff_t kSearch = 1 << 20;
  const std::string_view window(from, static_cast<size_t>(std::min(end - from, kSearch)));
  if (size_t at = window.find("},\n    {"); at != std::string_view::npos)
    return from + at + 1;
  for (size_t i = 1; i < window.size(); ++i) {
    if (window[i] != ',')
      continue;
    size_t before = i;
    while (before > 0 && isBlank(window[before - 1]))
      --before;
    size_t after = i + 1;
    while (after < window.size() && isBlank(window[after]))
      ++after;
    if (before > 0 && window[before - 1] == '}' && after < window.size() && window[after] == '{')
      return from + i;
  }
  return nullptr;
}

}  // namespace hostemu
