#include "avimenu/content_store.h"

#include "document/page_assembly.h"
#include "document/store_page.h"

namespace quorby {

int storeContentBytes(AppState& app, MainFileContent& content, FilePos pos, const std::uint8_t* bytes,
                      std::uint32_t n) {
    if (pos >= app.main.fileSize || app.main.fileSize - pos < n || n > 512) return 1;
    if (loadPagePair(app, pageStart(pos)) != 0) return 1;
    const std::uint32_t at = std::uint32_t(pos - app.view.pagePos);
    if (at + n > app.view.pageLength) return 1;
    for (std::uint32_t i = 0; i < n; ++i) typeByte(app, int(at + i), bytes[i]);
    const int result = storePage(app);
    const int reloaded = loadPagePair(app, app.view.pagePos);
    content.forget();
    return result != 0 || reloaded != 0 ? 1 : 0;
}

}  // namespace quorby
