#include "big_documents.h"

#include <cstdint>

namespace bench {
namespace {

// A fixed sequence of values in [-2.5, 2.5): the same documents in every run.
class OffGridValues {
 public:
  double next() {
    state_ = state_ * 6364136223846793005u + 1442695040888963407u;
    return (static_cast<double>(state_ >> 11) * 0x1p-53 - 0.5) * 5.0;
  }
  HostVector vector() {
    const double x = next();
    const double y = next();
    return HostVector{x, y, next()};
  }

 private:
  uint64_t state_ = 0x9e3779b97f4a7c15u;
};

}  // namespace

const char *ShapeName(Shape shape) {
  return shape == Shape::flat ? "flat" : "chain";
}

std::unique_ptr<hostemu::Document> PointObjectDocument(size_t points) {
  auto document = std::make_unique<hostemu::Document>();
  HostObject &object = document->addObject(nullptr, "Points", hostemu::ObjectKind::pointObject);
  OffGridValues values;
  object.points.reserve(points);
  for (size_t i = 0; i < points; ++i)
    object.points.push_back(values.vector());
  return document;
}

std::unique_ptr<hostemu::Document> NullObjectsDocument(size_t count, Shape shape) {
  auto document = std::make_unique<hostemu::Document>();
  OffGridValues values;
  HostObject *previous = nullptr;
  for (size_t i = 0; i < count; ++i) {
    HostObject &object =
        document->addObject(shape == Shape::chain ? previous : nullptr, "Null", hostemu::ObjectKind::nullObject);
    object.position = values.vector();
    object.rotation = values.vector();
    object.scale = values.vector();
    previous = &object;
  }
  return document;
}

hostemu::Scene NullObjectsScene(size_t count) {
  hostemu::Scene scene;
  scene.hasObjectsKey = true;
  scene.objects.resize(count);
  OffGridValues values;
  for (hostemu::SceneObject &object : scene.objects) {
    object.name = "Null";
    object.position = values.vector();
    object.rotation = values.vector();
    object.scale = values.vector();
    for (hostemu::SceneField field :
         {hostemu::SceneField::name, hostemu::SceneField::type, hostemu::SceneField::position,
          hostemu::SceneField::rotation, hostemu::SceneField::scale})
      object.addField(field);
  }
  return scene;
}

hostemu::Scene PointObjectScene(size_t points) {
  hostemu::Scene scene;
  scene.hasObjectsKey = true;
  hostemu::SceneObject &object = scene.objects.emplace_back();
  object.name = "Points";
  object.type = hostemu::SceneObjectType::polygon;
  OffGridValues values;
  object.points.reserve(points);
  for (size_t i = 0; i < points; ++i)
    object.points.push_back(values.vector());
  for (hostemu::SceneField field : {hostemu::SceneField::name, hostemu::SceneField::type, hostemu::SceneField::points})
    object.addField(field);
  return scene;
}

}  // namespace bench
