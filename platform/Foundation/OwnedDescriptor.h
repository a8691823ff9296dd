#pragma once

#include <unistd.h>
#include <utility>

// A file descriptor closed exactly once, when its owner goes or is given another.
class OwnedDescriptor {
public:
    OwnedDescriptor() = default;
    explicit OwnedDescriptor(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    ~OwnedDescriptor() { reset(); }
    OwnedDescriptor(OwnedDescriptor&& other) noexcept
        : m_descriptor(std::exchange(other.m_descriptor, -1))
    {
    }
    OwnedDescriptor& operator=(OwnedDescriptor&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_descriptor, -1));
        return *this;
    }
    OwnedDescriptor(const OwnedDescriptor&) = delete;
    OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;

    [[nodiscard]] int get() const { return m_descriptor; }
    [[nodiscard]] explicit operator bool() const { return m_descriptor >= 0; }
    void reset(int descriptor = -1)
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        m_descriptor = descriptor;
    }
    // Closes now and says whether that worked: close reports write-back errors some file systems only see then.
    [[nodiscard]] bool close()
    {
        return m_descriptor >= 0 && ::close(std::exchange(m_descriptor, -1)) == 0;
    }

private:
    int m_descriptor = -1;
};
