#include "scene/scene.h"

#include "scene/errors.h"

namespace circles {

void Scene::SetRadii(std::int16_t value0, std::int16_t value1) {
    Radius[0] = value0;
    Radius[1] = value1;
}

void Scene::SetCenter(std::int16_t index, float X, float Y) {
    if (index < 0 || index >= static_cast<std::int16_t>(CenterPt.size())) {
        Raise(ErrorKind::IndexOutOfRange);
    }
    CenterPt[index] = {X, Y};
}

void Scene::SetDefaultCenters() {
    CenterPt[0] = kDefaultCenter0;
    CenterPt[1] = kDefaultCenter1;
}

}  // namespace circles
