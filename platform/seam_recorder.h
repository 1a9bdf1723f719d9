#pragma once

#include <vector>

namespace platform {

// A test seam for a call that would reach the desktop (a modal box, another program). While a
// recorder of a request type lives, such calls are recorded there instead of being carried out, so
// tests can read back what the program asked for and never block. Recorders nest; the newest wins.
// Derived is the concrete recorder class (one per kind of call).
template <typename Derived, typename Request> class SeamRecorder
{
public:
    ~SeamRecorder() { active_ = previous_; }
    SeamRecorder(const SeamRecorder&) = delete;
    SeamRecorder& operator=(const SeamRecorder&) = delete;

    // The recorder in charge, or null when calls go to the desktop.
    static Derived* active() { return active_; }

    void record(Request request) { requests_.push_back(std::move(request)); }
    const std::vector<Request>& requests() const { return requests_; }

protected:
    SeamRecorder() : previous_(active_) { active_ = static_cast<Derived*>(this); }

private:
    inline static Derived* active_ = nullptr;
    Derived* previous_;
    std::vector<Request> requests_;
};

} // namespace platform
