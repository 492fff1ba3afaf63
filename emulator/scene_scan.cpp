#include "scene_scan.h"

#include <charconv>
#include <system_error>

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

// Digits, at least one.
bool skipDigits(const char *&p, const char *end) {
  const char *start = p;
  while (p != end && isDigit(*p))
    ++p;
  return p != start;
}

}  // namespace

bool scanNumber(const char *&p, const char *end, double &value) {
  // The grammar of a JSON number, which is narrower than what from_chars
  // takes.
  const char *q = p;
  if (q != end && *q == '-')
    ++q;
  if (q == end)
    return false;
  if (*q == '0') {
    ++q;
  } else if (!skipDigits(q, end)) {
    return false;
  }
  bool integer = true;
  if (q != end && *q == '.') {
    ++q;
    if (!skipDigits(q, end))
      return false;
    integer = false;
  }
  if (q != end && (*q == 'e' || *q == 'E')) {
    ++q;
    if (q != end && (*q == '+' || *q == '-'))
      ++q;
    if (!skipDigits(q, end))
      return false;
    integer = false;
  }
  if (q != end && !isBlank(*q) && *q != ',' && *q != ']')
    return false;
  double parsed = 0.0;
  auto [stop, error] = std::from_chars(p, q, parsed);
  if (error != std::errc() || stop != q)
    return false;
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

bool scanPointsBody(const char *&p, const char *end, std::vector<HostVector> &points) {
  const size_t before = points.size();
  const char *q = p;
  skipBlanks(q, end);
  bool well = q != end;
  bool first = true;
  while (well && *q != ']') {
    if (!first) {
      well = *q == ',';
      if (!well)
        break;
      ++q;
      skipBlanks(q, end);
    }
    first = false;
    HostVector point;
    well = q != end && *q == '[';
    if (!well)
      break;
    ++q;
    well = scanVectorBody(q, end, point);
    if (!well)
      break;
    ++q;  // the point's ']'
    points.push_back(point);
    skipBlanks(q, end);
    well = q != end;
  }
  if (!well) {
    points.resize(before);
    return false;
  }
  p = q;
  return true;
}

}  // namespace hostemu
