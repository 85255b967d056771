#include "engine/platform/FrameTimer.h"

#include "engine/platform/PerformanceCounter.h"

void FrameTimer::Start(PerformanceCounter* counter)
{
    counter_ = counter;
    frequency_ = 0;
    startCount_ = 0;
    first_ = true;
    if (counter_ == nullptr) return;
    if (!counter_->QueryFrequency(&frequency_)) {
        frequency_ = 0;
        return;
    }
    counter_->QueryCounter(&startCount_);
}

float FrameTimer::Step()
{
    if (counter_ == nullptr || frequency_ <= 0) return kMaxStep;
    if (first_) {
        lastCount_ = startCount_;
        first_ = false;
    }
    int64_t now = lastCount_;
    counter_->QueryCounter(&now);
    float dt = static_cast<float>(static_cast<double>(now - lastCount_) / static_cast<double>(frequency_));
    lastCount_ = now;
    if (dt > kMaxStep) dt = kMaxStep;
    return dt;
}
