#pragma once
// The lock of a mesh folder, as the plan takes it: the same flock(2) lock on
// DIR/N.../kestrelfold.lock that each job line takes (through flock(1))
// before it clears the folder and holds while its run lasts. The plan
// holds it while it rewrites the folder, so that it never clears the
// files of a run going on, nor does a run start on a half-written folder.
#include <cstdint>
#include <filesystem>

namespace kestrelfold::study {

class MeshLock {
public:
    // Takes the lock without waiting. FileError when a run of the mesh holds
    // it (the message says so) or when the folder's file system takes no
    // locks (the job lines could not run there either).
    MeshLock(const std::filesystem::path& folder, std::int32_t N);
    ~MeshLock();
    MeshLock(const MeshLock&) = delete;
    MeshLock& operator=(const MeshLock&) = delete;

private:
    int fd_;
};

}  // namespace kestrelfold::study
