#include "store/page_assembly.h"

#include "store/main_file.h"

namespace quorby {

int loadPagePair(AppState& app, FilePos pos) {
    // No journal overlay exists yet: the pair is the Main File's content.
    return readPagePair(app, pos);
}

}  // namespace quorby
