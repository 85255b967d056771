#pragma once

#include <assimp/anim.h>
#include <assimp/scene.h>

#include <map>

#include "engine/math/Matrix.h"

// One animation of a source scene, played on its node tree: the transform of any node at any
// time, in the source's frame (row-vector form). Without an animation every node keeps its own
// transform.
class NodeAnimation {
public:
    // Ticks per second when a file gives none.
    static constexpr double kDefaultTicksPerSecond = 25.0;

    NodeAnimation(const aiScene& scene, const aiAnimation* animation);

    // True when the animation moves the node or one of its ancestors.
    bool Moves(const aiNode& node) const;
    // The node's transform in the scene (its own, then its parent's, up to the root) at the
    // given time; before the first key and after the last the nearest key holds.
    Matrix Global(const aiNode& node, double seconds) const;
    // The same without the animation: the transforms the file gives the nodes.
    static Matrix StillGlobal(const aiNode& node);
    // From 0 to the last key.
    double Seconds() const { return seconds_; }

private:
    Matrix Local(const aiNode& node, double ticks) const;

    std::map<const aiNode*, const aiNodeAnim*> channels_;
    double ticksPerSecond_ = kDefaultTicksPerSecond;
    double seconds_ = 0.0;
};
