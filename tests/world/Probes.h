#pragma once

#include <functional>
#include <string>
#include <vector>

#include "game/world/GameLink.h"
#include "game/world/ScriptReader.h"
#include "game/world/ScriptedEntity.h"
#include "game/world/World.h"

// Test nodes that write what happens to them into a shared journal.
struct Journal {
    std::vector<std::string> events;
    void Add(const std::string& e) { events.push_back(e); }
    // The events that start with the given prefix, in order.
    std::vector<std::string> With(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& e : events)
            if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
        return out;
    }
};

class ProbeNode : public ScriptedEntity {
public:
    ProbeNode(Journal* journal, std::string name, float x = 0.0f, float r = 0.0f) : journal_(journal), name_(std::move(name))
    {
        position.x = x;
        radius = r;
    }
    ~ProbeNode() override
    {
        if (journal_ != nullptr) journal_->Add("delete " + name_);
    }
    void update(World* world, float dt) override
    {
        journal_->Add("update " + name_);
        if (onUpdate) onUpdate(world);
    }
    void draw(World*) override { journal_->Add("draw " + name_); }
    void afterCollisions(World* world) override
    {
        journal_->Add("after " + name_);
        if (onAfter) onAfter(world);
    }
    void onCollision(World*, SceneNode* other) override
    {
        journal_->Add("hit " + name_ + " by " + static_cast<ProbeNode*>(other)->name_);
    }
    void load(World*) override { journal_->Add("load " + name_); }
    void unload() override {}
    Entity* clone() override { return new ProbeNode(journal_, name_ + "'"); }
    void parse(ScriptReader& reader) override
    {
        while (const char* token = reader.NextToken()) {
            if (std::string(token) == "position") {
                position.x = reader.ReadFloat();
                position.z = reader.ReadFloat();
            } else {
                journal_->Add("unknown " + std::string(token));
            }
        }
        journal_->Add("parsed " + name_);
    }
    const std::string& Name() const { return name_; }

    std::function<void(World*)> onUpdate;
    std::function<void(World*)> onAfter;

private:
    Journal* journal_;
    std::string name_;
};

class FixedProgress : public GameLink {
public:
    float ShipProgressZ() const override { return progressZ; }
    void RequestQuit(const char*) override { quit = true; }
    float progressZ = 0.0f;
    bool quit = false;
};
