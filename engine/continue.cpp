#include "engine/continue.h"

#include "engine/position.h"
#include "engine/texts.h"

namespace tolvane {

int CheckContinuedFile(QuellDateien& set) {
    const FileEntry* e = set.current;
    if (e == nullptr || e->done == 0) return 1;
    platform::FileFacts facts;
    if (!set.fs().Stat(PathInFolder(set.settings().targetPath, e->path), &facts)) return 1;
    if (facts.isRegular && facts.size >= e->done && facts.size <= e->size) return 1;
    set.display().Message(
        std::string(texts::kContinuedFileMismatchA) + e->Name() + texts::kContinuedFileMismatchB,
        texts::kAppCaption, Icon::Warning, Owner::Page);
    return 0;
}

}  // namespace tolvane
