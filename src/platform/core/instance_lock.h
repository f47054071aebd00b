#pragma once
#include <string>

namespace platform {

// A lock held for the life of the process (or of this object), named like a system mutex.
// Acquire() is false when another process already holds the lock of that name.
class InstanceLock {
public:
    explicit InstanceLock(std::string name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool Acquire();
    // Lets the process keep the lock until it ends, as a never-closed mutex does.
    void Leak() { leaked_ = true; }

private:
    std::string name_;
    int fd_ = -1;
    bool leaked_ = false;
};

}  // namespace platform
