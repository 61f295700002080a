#include "platform/posix/errno_map.h"

#include <cerrno>

namespace quorby {

std::uint32_t windowsErrorCode(int err, bool writing) {
    // EAGAIN and EWOULDBLOCK may share a value, so they cannot both be cases.
    if (err == EAGAIN || err == EWOULDBLOCK) return 33;  // "Blocked !"
    switch (err) {
        case ENOENT: return 2;
        case ENOTDIR: return 3;
        case EMFILE: return 4;
        case EACCES:
        case EPERM: return 5;
        case EBADF: return 6;
        case ENOMEM: return 8;
        case EROFS: return 19;
        case EIO: return writing ? 29 : 30;
        case EBUSY: return 170;
        case EEXIST: return 80;
        case ENOSPC: return 112;
        case EINVAL: return 87;
        case ENAMETOOLONG: return 206;
        case ESPIPE: return 25;
        case EFBIG: return 1106;
        case ENXIO: return 21;
        case ECANCELED: return 995;  // a stalled read given up
        default: return 0;
    }
}

}  // namespace quorby
