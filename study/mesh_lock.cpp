#include "study/mesh_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "study/study_layout.h"
#include "study/text_file.h"

namespace kestrelfold::study {

MeshLock::MeshLock(const std::filesystem::path& folder, std::int32_t N) {
    const std::filesystem::path file = folder / kRunLock;
    // Open for writing, as the job line opens it: NFS grants an exclusive
    // lock only on a file open for writing.
    fd_ = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) throw FileError("cannot open " + file.string() + ": " + std::strerror(errno));
    int result;
    do {
        result = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) return;
    const int error = errno;
    ::close(fd_);
    if (error == EWOULDBLOCK) {
        throw FileError("N = " + std::to_string(N) + ": a run of this mesh is going on in " + folder.string() +
                        " (it holds " + std::string(kRunLock) + "): plan again once it has ended");
    }
    throw FileError("cannot lock " + file.string() + ": " + std::strerror(error) +
                    " (the runs of a study lock their folders: it needs a file system with file locks)");
}

MeshLock::~MeshLock() { ::close(fd_); }

}  // namespace kestrelfold::study
