#pragma once
// Owns one file descriptor and closes it when dropped, so that no error path leaks a descriptor.
//
// Thread: as its owner; not shared. Owner: whoever holds the object (move-only).
namespace tdi {
namespace platform {

class UniqueFd
{
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept
        : fd(fd)
    {
    }
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept;
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd; }
    explicit operator bool() const { return fd >= 0; }

    // Hands the descriptor to the caller, who closes it from now on.
    int release();
    // Closes the descriptor held (if any) and takes `replacement`.
    void reset(int replacement = -1);

private:
    int fd = -1;
};

} // namespace platform
} // namespace tdi
