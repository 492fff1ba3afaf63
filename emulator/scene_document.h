// Between a scene read from a file and the host's document: the document is
// built from the scene, and after the module has worked on it, its values,
// selection and points go back into the same scene, which still holds
// everything else the file said.
#pragma once

#include "document.h"
#include "scene.h"

#include <memory>

namespace hostemu {

std::unique_ptr<Document> makeDocument(const Scene &scene);

// Puts position, rotation, scale, selection and points of every object of
// document into scene, both walked in tree order; the points are moved, not
// copied, and leave the document. False, with both untouched, when the two
// trees differ in shape: the document must have been made from this scene,
// with only values changed since.
bool takeDocumentValues(Document &document, Scene &scene);

}  // namespace hostemu
