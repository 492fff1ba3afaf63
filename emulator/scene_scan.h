// Fast reading of the number arrays that make up almost all of a large scene
// (points, and the vectors of a million objects). The JSON library reads
// every other part of the file; these functions take over the inside of an
// array it has just opened, and give up, moving nothing, on anything but
// plain JSON numbers, so that the library reads it and reports any fault.
//
// A number reads to the same double as through the library: both round
// correctly, and an integer zero has no sign ("-0" is 0.0, "-0.0" is -0.0).
#pragma once

#include "host_types.h"
#include "scene.h"

#include <string_view>
#include <vector>

namespace hostemu {

// "1.5", "-2e-3": moves p past the number. False on anything else, on a
// number out of the double range, or when the number is not followed by a
// character that may follow a JSON value.
bool scanNumber(const char *&p, const char *end, double &value);

// The inside of a three-number array after its '[': "x, y, z" and blanks,
// leaving p at the closing ']'.
bool scanVectorBody(const char *&p, const char *end, HostVector &vector);

// The inside of an array of points after its '[': "[x, y, z], ..." and
// blanks, leaving p at the closing ']'. The points are appended; on failure
// points is as it was.
bool scanPointsBody(const char *&p, const char *end, std::vector<HostVector> &points);

// The members of a scene object after its '{', as long as they are known
// fields with plain values: ASCII strings without escapes, literals, number
// arrays. Stops before "children", an unknown or repeated key, or anything
// else, leaving p where the library can go on as if the object began there:
// at the next key or at the closing '}'. What it read is in object, which
// must be new.
void scanObjectMembers(const char *&p, const char *end, SceneObject &object);

// How often c occurs in text; at memory speed, for texts of gigabytes.
size_t countByte(std::string_view text, char c);

// A place to cut an array of objects between two elements: the comma of a
// "}, {" at or after from. This program's own files put each top-level
// object on a line of its own, so that comma is looked for first. Null when
// none is near. Whether the cut is between top-level objects is for the
// reader to find out.
const char *objectCutAfter(const char *from, const char *end);

}  // namespace hostemu
