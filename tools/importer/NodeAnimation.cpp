#include "tools/importer/NodeAnimation.h"

#include <algorithm>

#include "tools/importer/AxisConversion.h"

namespace {

template <typename Key>
double LastTime(const Key* keys, unsigned count)
{
    double last = 0.0;
    for (unsigned i = 0; i < count; ++i) last = std::max(last, keys[i].mTime);
    return last;
}

// The keys around the time and how far between them it lies (0 … 1); a time outside the keys
// takes the nearest one. Keys are in time order.
template <typename Key>
void Bracket(const Key* keys, unsigned count, double ticks, unsigned* first, unsigned* second, float* fraction)
{
    const Key* end = keys + count;
    const Key* after = std::upper_bound(keys, end, ticks, [](double t, const Key& key) { return t < key.mTime; });
    if (after == keys || after == end) {
        *first = *second = after == keys ? 0 : count - 1;
        *fraction = 0.0f;
        return;
    }
    *second = static_cast<unsigned>(after - keys);
    *first = *second - 1;
    const double span = keys[*second].mTime - keys[*first].mTime;
    *fraction = span > 0.0 ? static_cast<float>((ticks - keys[*first].mTime) / span) : 0.0f;
}

aiVector3D Sample(const aiVectorKey* keys, unsigned count, double ticks)
{
    unsigned a = 0, b = 0;
    float t = 0.0f;
    Bracket(keys, count, ticks, &a, &b, &t);
    return keys[a].mValue + (keys[b].mValue - keys[a].mValue) * t;
}

aiQuaternion Sample(const aiQuatKey* keys, unsigned count, double ticks)
{
    unsigned a = 0, b = 0;
    float t = 0.0f;
    Bracket(keys, count, ticks, &a, &b, &t);
    aiQuaternion out;
    aiQuaternion::Interpolate(out, keys[a].mValue, keys[b].mValue, t);
    return out.Normalize();
}

}  // namespace

NodeAnimation::NodeAnimation(const aiScene& scene, const aiAnimation* animation)
{
    if (animation == nullptr || scene.mRootNode == nullptr) return;
    if (animation->mTicksPerSecond > 0.0) ticksPerSecond_ = animation->mTicksPerSecond;
    double lastTick = std::max(0.0, animation->mDuration);
    for (unsigned i = 0; i < animation->mNumChannels; ++i) {
        const aiNodeAnim* channel = animation->mChannels[i];
        if (channel == nullptr) continue;
        const aiNode* node = scene.mRootNode->FindNode(channel->mNodeName);
        if (node == nullptr) continue;
        channels_.emplace(node, channel);
        lastTick = std::max({lastTick, LastTime(channel->mPositionKeys, channel->mNumPositionKeys),
                             LastTime(channel->mRotationKeys, channel->mNumRotationKeys),
                             LastTime(channel->mScalingKeys, channel->mNumScalingKeys)});
    }
    seconds_ = lastTick / ticksPerSecond_;
}

bool NodeAnimation::Moves(const aiNode& node) const
{
    for (const aiNode* n = &node; n != nullptr; n = n->mParent) {
        if (channels_.count(n) != 0) return true;
    }
    return false;
}

Matrix NodeAnimation::Local(const aiNode& node, double ticks) const
{
    const auto found = channels_.find(&node);
    if (found == channels_.end()) return RowForm(node.mTransformation);
    const aiNodeAnim& channel = *found->second;
    aiVector3D scaling, position;
    aiQuaternion rotation;
    node.mTransformation.Decompose(scaling, rotation, position);
    if (channel.mNumPositionKeys > 0) position = Sample(channel.mPositionKeys, channel.mNumPositionKeys, ticks);
    if (channel.mNumRotationKeys > 0) rotation = Sample(channel.mRotationKeys, channel.mNumRotationKeys, ticks);
    if (channel.mNumScalingKeys > 0) scaling = Sample(channel.mScalingKeys, channel.mNumScalingKeys, ticks);
    return RowForm(aiMatrix4x4(scaling, rotation, position));
}

Matrix NodeAnimation::Global(const aiNode& node, double seconds) const
{
    const double ticks = seconds * ticksPerSecond_;
    Matrix global = Local(node, ticks);
    for (const aiNode* parent = node.mParent; parent != nullptr; parent = parent->mParent) {
        global = global * Local(*parent, ticks);
    }
    return global;
}

Matrix NodeAnimation::StillGlobal(const aiNode& node)
{
    Matrix global = RowForm(node.mTransformation);
    for (const aiNode* parent = node.mParent; parent != nullptr; parent = parent->mParent) {
        global = global * RowForm(parent->mTransformation);
    }
    return global;
}
