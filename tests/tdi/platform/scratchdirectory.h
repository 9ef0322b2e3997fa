#pragma once
// A fresh directory for one test, removed with everything in it when the object goes.
//
// Thread: the test's main thread. Owner: the test or fixture that made it.
#include <string>

class ScratchDirectory
{
public:
    // Made inside $TMPDIR (else /tmp), or inside `parent` when given.
    explicit ScratchDirectory(const std::string& parent = {});
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return directory; }

private:
    std::string directory;
};
